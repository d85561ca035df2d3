// What proves a configuration on the region page: the store's fingerprint, a comparison with
// another region file, and the commissioning report as a PDF or on paper.
#include "mainwindow/mainwindow.h"

#include "device/seriallink.h"
#include "device/udplink.h"
#include "regions/regioncomparison.h"
#include "regions/regiondocument.h"
#include "regions/regionfile.h"
#include "regions/regionfingerprint.h"
#include "report/commissioningreport.h"
#include "ui_mainwindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace {

// The combo box's first row names the count; the rows after it are the regions.
constexpr int firstDifferenceRow = 1;

} // namespace

void MainWindow::connectRegionProof()
{
    auto *copy = new QAction(tr("复制指纹"), ui->labelFingerprint);
    ui->labelFingerprint->addAction(copy);
    connect(copy, &QAction::triggered, this, [this] {
        QApplication::clipboard()->setText(RegionFingerprint::of(regionDocument->store()));
    });
    // An edit changes the fingerprint, and what differs from the compared file.
    const auto followEdit = [this] {
        showFingerprint();
        listDifferences();
    };
    connect(regionDocument, &RegionDocument::regionChanged, this, followEdit);
    connect(regionDocument, &RegionDocument::vertexMoved, this, followEdit);
    connect(regionDocument, &RegionDocument::storeReset, this, followEdit);

    connect(ui->pushButtonCompareFile, &QPushButton::clicked, this,
            &MainWindow::compareWithChosenFile);
    connect(ui->toolButtonEndComparison, &QToolButton::clicked, this,
            [this] { showComparison({}); });
    connect(ui->comboBoxRegionDifferences, qOverload<int>(&QComboBox::activated), this,
            &MainWindow::selectDifferingRegion);

    auto *reportMenu = new QMenu(ui->pushButtonReport);
    connect(reportMenu->addAction(tr("保存为 PDF…")), &QAction::triggered, this,
            &MainWindow::saveReportAsPdf);
    connect(reportMenu->addAction(tr("打印…")), &QAction::triggered, this,
            &MainWindow::printReport);
    ui->pushButtonReport->setMenu(reportMenu);

    showComparison({});
    showFingerprint();
}

void MainWindow::rememberRegionFile(const QString &path)
{
    regionFilePath = path;
    regionFileFingerprint = RegionFingerprint::of(regionDocument->store());
    showFingerprint();
}

void MainWindow::showFingerprint(bool againstFile)
{
    const QString fingerprint = RegionFingerprint::of(regionDocument->store());
    const QString shortForm = RegionFingerprint::shortForm(fingerprint);
    const QString fileName = QFileInfo(regionFilePath).fileName();
    QString text = tr("指纹 %1").arg(shortForm);
    if (againstFile && !regionFilePath.isEmpty()) {
        text = fingerprint == regionFileFingerprint
                   ? tr("指纹 %1（与 %2 相同）").arg(shortForm, fileName)
                   : tr("指纹 %1（与 %2 不同）").arg(shortForm, fileName);
    }
    ui->labelFingerprint->setText(text);
    ui->labelFingerprint->setToolTip(fingerprint);
}

void MainWindow::noteVerifiedDownload(const QString &result)
{
    lastVerifiedDownload =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + result;
    showFingerprint(true);
}

void MainWindow::compareWithChosenFile()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("与区域设置文件比较"),
                                                      regionFileProposal(), tr("dat文件(*.dat)"));
    if (name.isEmpty())
        return;
    RegionStore other = Regions::initialStore();
    if (!RegionFile::load(name, other)) {
        showMessage(tr("打开区域设置文件失败！"));
        return;
    }
    showComparison(other);
}

void MainWindow::showComparison(const RegionStore &other)
{
    comparedRegions = other;
    ui->radarIndicatorWidget->setComparedRegions(other);
    ui->comboBoxRegionDifferences->setVisible(!other.isEmpty());
    ui->toolButtonEndComparison->setVisible(!other.isEmpty());
    listDifferences();
}

void MainWindow::listDifferences()
{
    QComboBox *list = ui->comboBoxRegionDifferences;
    list->clear();
    if (comparedRegions.isEmpty())
        return;
    const QVector<RegionMismatch> mismatches =
        RegionComparison::mismatches(regionDocument->store(), comparedRegions);
    list->addItem(mismatches.isEmpty() ? tr("所有区域相同")
                                       : tr("%1 个区域不同").arg(mismatches.size()));
    for (const RegionMismatch &mismatch : mismatches) {
        QString how;
        switch (mismatch.kind) {
        case RegionMismatch::VertexCount:
            how = tr("顶点数 %1 / %2").arg(mismatch.countA).arg(mismatch.countB);
            break;
        case RegionMismatch::Vertex:
            how = tr("顶点 %1 位置不同").arg(mismatch.vertex);
            break;
        case RegionMismatch::AlarmPoints:
            how = tr("报警点数 %1 / %2").arg(mismatch.countA).arg(mismatch.countB);
            break;
        }
        list->addItem(tr("第 %1 组区域 %2：%3").arg(mismatch.group).arg(mismatch.region).arg(how),
                      QPoint(mismatch.group, mismatch.region));
    }
    // The box stays narrow in the row; its list opens as wide as its rows.
    list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0));
}

void MainWindow::selectDifferingRegion(int row)
{
    if (row < firstDifferenceRow)
        return;
    const QPoint region = ui->comboBoxRegionDifferences->itemData(row).toPoint();
    ui->listWidgetRgnGroupIndex->setCurrentRow(region.x());
    ui->tabWidgetRgnIndex->setCurrentIndex(region.y() - 1);
}

CommissioningReport MainWindow::commissioningReport() const
{
    ReportContext context;
    context.toolVersion = QCoreApplication::applicationVersion();
    context.regionFile = QFileInfo(regionFilePath).fileName();
    if (serialLink->isOpen()) {
        context.deviceLink = QStringLiteral("%1 (%2)").arg(
            serialPortList()->currentText(),
            connMode == Modbus ? QStringLiteral("Modbus-RTU") : QStringLiteral("USB"));
    } else if (udpLink->isOpen()) {
        context.deviceLink =
            QStringLiteral("%1:%2 (UDP)").arg(ui->lineEditIP->text(), ui->lineEditPort->text());
    }
    if (isLinkOpen()) {
        context.resolution =
            QStringLiteral("%1°").arg(session->scanGeometry().angleResolution, 0, 'f', 2);
    }
    context.verifiedDownload = lastVerifiedDownload;
    return CommissioningReport(regionDocument->store(), context);
}

void MainWindow::saveReportAsPdf()
{
    const QFileInfo proposal(regionFilePath.isEmpty() ? regionFileProposal() : regionFilePath);
    const QString name = QFileDialog::getSaveFileName(
        this, tr("保存调试报告"),
        proposal.dir().filePath(proposal.completeBaseName() + QStringLiteral(".pdf")),
        tr("PDF 文件(*.pdf)"));
    if (name.isEmpty())
        return;
    QString error;
    showMessage(commissioningReport().writePdf(name, &error) ? tr("保存调试报告成功！")
                                                             : tr("保存调试报告失败！"));
}

void MainWindow::printReport()
{
    // The printer lives as long as the dialog's connection that prints on it.
    const auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    auto *dialog = new QPrintDialog(printer.get(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, printer] {
        if (!commissioningReport().print(*printer))
            showMessage(tr("打印调试报告失败！"));
    });
    dialog->open();
}
