#include "mainwindow/widgetsettings.h"

#include <QComboBox>
#include <QMetaProperty>
#include <QSettings>
#include <QSignalBlocker>

namespace {

QWidget *field(const QObject *window, const WidgetSetting &setting)
{
    auto *widget = window->findChild<QWidget *>(QLatin1String(setting.objectName));
    if (!widget)
        qFatal("no field %s to remember", setting.objectName);
    return widget;
}

// The rows of a combo box the operator cannot type into, or -1 for any other field.
int fixedRows(const QWidget *widget)
{
    const auto *combo = qobject_cast<const QComboBox *>(widget);
    return combo && !combo->isEditable() ? combo->count() : -1;
}

QMetaProperty rememberedProperty(const QWidget *widget)
{
    const QMetaObject *type = widget->metaObject();
    return fixedRows(widget) >= 0 ? type->property(type->indexOfProperty("currentIndex"))
                                  : type->userProperty();
}

} // namespace

namespace WidgetSettings {

void save(QSettings &settings, const QObject *window, const QVector<WidgetSetting> &fields)
{
    for (const WidgetSetting &setting : fields) {
        const QWidget *widget = field(window, setting);
        settings.setValue(QLatin1String(setting.key), rememberedProperty(widget).read(widget));
    }
}

void restore(const QSettings &settings, QObject *window, const QVector<WidgetSetting> &fields)
{
    for (const WidgetSetting &setting : fields) {
        const QVariant value = settings.value(QLatin1String(setting.key));
        QWidget *widget = field(window, setting);
        const int rows = fixedRows(widget);
        if (!value.isValid() || (rows >= 0 && (value.toInt() < 0 || value.toInt() >= rows)))
            continue;
        const QSignalBlocker blocker(setting.quiet ? widget : nullptr);
        rememberedProperty(widget).write(widget, value);
    }
}

} // namespace WidgetSettings
