#pragma once

#include <QVector>

class QObject;
class QSettings;

// Input fields kept between runs, each under a settings key: a combo box the operator cannot
// type into by its row (its texts change with the language), any other field by its value
// (text, number, check state).
struct WidgetSetting
{
    const char *key;
    const char *objectName;
    // Set without signalling: the field's value only matters when something else reads it.
    bool quiet = false;
};

namespace WidgetSettings {

void save(QSettings &settings, const QObject *window, const QVector<WidgetSetting> &fields);
// A key that is absent, or a row that no longer exists, leaves its field as it is.
void restore(const QSettings &settings, QObject *window, const QVector<WidgetSetting> &fields);

} // namespace WidgetSettings
