#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "device/seriallink.h"
#include "device/udplink.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/datamessagelog.h"
#include "mainwindow/flowlayout.h"
#include "mainwindow/regioneditactions.h"
#include "regions/regiondocument.h"
#include "regions/regionwidget.h"
#include "ui_mainwindow.h"

#include <QColorDialog>
#include <QIntValidator>
#include <QRegExpValidator>
#include <QResizeEvent>
#include <QScrollBar>
#include <QtMath>

namespace {

struct NavigationEntry
{
    const char *text;
    const char *icon;
};

// List row = page index of stackedWidget.
constexpr NavigationEntry navigationEntries[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "连接设置"), ":/images/resource/conn_settings.png"},
    {QT_TRANSLATE_NOOP("MainWindow", "扫描图像"), ":/images/resource/scan_image.png"},
    {QT_TRANSLATE_NOOP("MainWindow", "区域设置"), ":/images/resource/region.png"},
    {QT_TRANSLATE_NOOP("MainWindow", "数据报文"), ":/images/resource/data.png"},
    {QT_TRANSLATE_NOOP("MainWindow", "接线图示"), ":/images/resource/writing_graph.png"},
};

// Below this width the pages need the room more than the navigation needs its names.
constexpr int namedNavigationMinWidth = 1600;

// Wide enough for the widest item and, where the list may scroll, its scroll bar.
void fitWidthToItems(QListWidget *list)
{
    const int scrollBar = list->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                              ? 0
                              : list->verticalScrollBar()->sizeHint().width();
    list->setFixedWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + scrollBar);
}

const QColor editorColors[] = {QColor(255, 250, 0, 128), QColor(255, 200, 50, 128),
                               QColor(255, 100, 0, 128)};

QString colorStyleSheet(const QColor &color)
{
    return QStringLiteral("QPushButton{background-color: rgba(%0,%1,%2,%3);}")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow),
      session(new DeviceSession(logInfo, nullptr, this)), serialLink(new SerialLink(logInfo)),
      udpLink(new UdpLink(logInfo))
{
    ui->setupUi(this);
    wrapControlRows();
    dataMessageLog = new DataMessageLog(ui->textEditDataGram);
    connectSession();
    connectLinkCare();

    const QStringList portNames = findAvailablePorts();
    ui->radarIndicatorWidget->setRegionsVisible(false);
    fillSelectors(portNames);
    buildNavigation();
    loadWiringDiagram();

    createRegionEditors();
    connectAlarmStatus();
    // Runs the group-row handler now, before the editors are wired to the store.
    ui->listWidgetRgnGroupIndex->setCurrentRow(0);
    connectRegionEditors();
    connectRegionProof();

    for (QWidget *hidden : QWidgetList{ui->pushButtonAddPoint, ui->pushButtonClearScreen,
                                       ui->labelNavMode, ui->comboBoxNavMode, ui->frameNavMode,
                                       ui->comboBoxScanFrenquency, ui->comboBoxBaudRates}) {
        hidden->hide();
    }
    installValidators();
    ui->stackedWidgetConnMode->setCurrentIndex(0);
    updateGroupIcons(-1);
    logInfo(QStringLiteral("Set region group index icon......"));
}

MainWindow::~MainWindow()
{
    session->sendFinalStop();
    closeCurrentLink();

    // The session goes first: nothing it still has under way may reach a window half gone.
    // So does the region document, which the display and the edit actions still follow.
    delete session;
    delete regionDocument;
    delete dataMessageLog;
    delete ui;
    regionWidgets.clear();
    delete udpLink;
    delete serialLink;
}

void MainWindow::setDeviceEndpoint(const QHostAddress &address, quint16 port)
{
    udpLink->setDeviceEndpoint(address, port);
}

void MainWindow::fillSelectors(const QStringList &portNames)
{
    ui->comboBoxComNames->addItems(portNames);
    ui->comboBoxModbusComNames->addItems(portNames);

    ui->comboBoxBaudRates->addItems({QStringLiteral("460800"), QStringLiteral("921600")});
    ui->comboBoxBaudRates->setCurrentIndex(0);

    ui->comboBoxScanFrenquency->addItems({QStringLiteral("20HZ"), QStringLiteral("15HZ"),
                                          QStringLiteral("10HZ"), QStringLiteral("5HZ"),
                                          tr("停止转动")});
    ui->comboBoxScanFrenquency->setCurrentIndex(2);

    ui->comboBoxNavMode->addItems({tr("导航模式"), tr("避障模式")});
    ui->comboBoxNavMode->setCurrentIndex(0);
}

// The rows of controls above the scan and region displays wrap on a narrow screen instead of
// running off it; the generated form's pointers to the rows they replace go with them.
void MainWindow::wrapControlRows()
{
    for (QHBoxLayout **row :
         {&ui->horizontalLayout_4, &ui->horizontalLayout_8, &ui->horizontalLayoutRegionTools}) {
        FlowLayout::replaceRow(*row);
        *row = nullptr;
    }
}

void MainWindow::buildNavigation()
{
    for (const NavigationEntry &entry : navigationEntries) {
        auto *item = new QListWidgetItem(QIcon(QString::fromLatin1(entry.icon)), tr(entry.text));
        item->setToolTip(item->text());
        ui->listWidgetMenu->addItem(item);
    }
    ui->listWidgetMenu->setCurrentRow(0);
    ui->stackedWidget->setCurrentIndex(0);
    connect(ui->listWidgetMenu, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ui->stackedWidget->setCurrentIndex(row);
    });
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    showNavigationNames(event->size().width() >= namedNavigationMinWidth);
    // Fitted here, once the style has given the lists their fonts.
    fitWidthToItems(ui->listWidgetMenu);
    fitWidthToItems(ui->listWidgetRgnGroupIndex);
}

// Without its names the list shows the icons alone, each naming its page in its tool tip.
void MainWindow::showNavigationNames(bool named)
{
    QListWidget *menu = ui->listWidgetMenu;
    for (int row = 0; row < menu->count(); ++row)
        menu->item(row)->setText(named ? menu->item(row)->toolTip() : QString());
}

void MainWindow::loadWiringDiagram()
{
    // The translation names the picture of the operator's language.
    const QPixmap diagram(tr(":/images/resource/wiring_diagram.jpg"));
    ui->labelWritingDiagram->setFixedSize(diagram.size());
    ui->labelWritingDiagram->setPixmap(diagram);
}

// The region document with everything that edits it: the display, the three editors and the
// page's edit actions.
void MainWindow::createRegionEditors()
{
    regionDocument = new RegionDocument(this);
    ui->radarIndicatorWidgetDrawRgn->setDocument(regionDocument);
    regionEditActions =
        new RegionEditActions(regionDocument, ui->pageRegionSettings, ui->listWidgetRgnGroupIndex);
    ui->toolButtonUndo->setDefaultAction(regionEditActions->undoAction());
    ui->toolButtonRedo->setDefaultAction(regionEditActions->redoAction());

    QVBoxLayout *tabLayouts[] = {ui->verticalLayoutTab1, ui->verticalLayoutTab2,
                                 ui->verticalLayoutTab3};
    for (int rgnIndex = 0; rgnIndex < 3; ++rgnIndex) {
        auto *editor = new RegionWidget(rgnIndex, this);
        editor->setColor(editorColors[rgnIndex]);
        tabLayouts[rgnIndex]->addWidget(editor);
        regionWidgets.append(editor);
    }
}

void MainWindow::connectRegionEditors()
{
    for (RegionWidget *editor : qAsConst(regionWidgets)) {
        connect(
            editor, &RegionWidget::addRegionPoints, editor,
            [this](RegionWidget *p, int rgnIndex) {
                const int group = currentGroupRow();
                if (group >= 1)
                    regionDocument->setVertexCount(group, rgnIndex, QPolygonF(p->regionPoints()));
            },
            Qt::DirectConnection);
    }
    connect(this, &MainWindow::updateGroupAndRgnIndex, ui->radarIndicatorWidgetDrawRgn,
            &RadarIndicatorWidget::setCurrentGroupAndRegion, Qt::DirectConnection);
    connect(this, &MainWindow::updateAlarmPointNum, regionDocument,
            &RegionDocument::setAlarmPointNum, Qt::DirectConnection);
    for (RegionWidget *editor : qAsConst(regionWidgets)) {
        // isInRange travels by reference, so this connection must stay direct.
        connect(
            editor, &RegionWidget::updateRegionPoints, editor,
            [this](int rgnIndex, int pointIndex, QPointF point, bool &isInRange) {
                const int group = currentGroupRow();
                if (group >= 1)
                    isInRange = regionDocument->setVertex(group, rgnIndex, pointIndex, point);
            },
            Qt::DirectConnection);
        connect(
            editor, &RegionWidget::beyondTheRange, this,
            [this] { showMessage(tr("设置位置超限！")); }, Qt::DirectConnection);
        connect(editor, &RegionWidget::colorChosen, this,
                [this](int rgnIndex, const QColor &color) {
                    const int group = currentGroupRow();
                    if (group >= 1)
                        regionDocument->setColor(group, rgnIndex, color);
                });
    }
    connectRegionDocument();
}

void MainWindow::installValidators()
{
    const QRegExp ipv4(QStringLiteral(
        "^((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)$"));
    ui->lineEditIP->setValidator(new QRegExpValidator(ipv4, this));
    ui->lineEditPort->setValidator(new QIntValidator(this));
}

int MainWindow::currentGroupRow() const
{
    return ui->listWidgetRgnGroupIndex->currentRow();
}

void MainWindow::on_comboBoxGraphType_currentIndexChanged(int index)
{
    ui->radarIndicatorWidget->setGraphType(index);
}

void MainWindow::on_spinBoxPointRadius_valueChanged(int arg1)
{
    ui->radarIndicatorWidget->setPointRadius(arg1);
}

void MainWindow::on_spinBoxLineWidth_valueChanged(int arg1)
{
    ui->radarIndicatorWidget->setLineWidth(arg1);
}

void MainWindow::on_pushButtonColorSelect_clicked()
{
    const QColor color = QColorDialog::getColor(QColor(255, 255, 255, 128), this, tr("颜色对话框"),
                                                QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return; // cancelled: the operator keeps the colour they had
    applyPointColor(color);
}

void MainWindow::applyPointColor(const QColor &color)
{
    pointColor = color;
    ui->pushButtonColorSelect->setStyleSheet(colorStyleSheet(color));
    ui->radarIndicatorWidget->setPointColor(color);
}

void MainWindow::on_pushButtonAddPoint_clicked()
{
    ui->radarIndicatorWidget->clearScreen();
    // A sine of 30 m amplitude in 3 degree steps, with the device tool's pi of 3.14152.
    QVector<QPointF> sine;
    for (int k = 1;; ++k) {
        const double angle = 249.0 * k / 83 / 180 * 3.14152;
        if (angle > 6.3)
            break;
        sine.append(QPointF(249.0 * k, 30000 * qSin(angle)));
    }
    ui->radarIndicatorWidget->setPointCloud({sine});
}

void MainWindow::on_pushButtonClearScreen_clicked()
{
    ui->radarIndicatorWidget->clearScreen();
}
