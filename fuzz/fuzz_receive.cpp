// Feeds arbitrary chunks to the main window's receive dispatcher in every link state and
// connection mode. One window serves all inputs; each input first puts it into the state its
// control bytes name and restores the decoders to their state at construction, so an input
// behaves the same whenever it runs.
#include "controlbytes.h"
#include "display/radarindicatorwidget.h"
#include "fuzzcheck.h"
#include "fuzzinput.h"
#include "mainwindow/datamessagelog.h"
#include "mainwindow/mainwindow.h"
#include "protocol/hextext.h"
#include "protocol/modbus.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTimer>

// Friend of MainWindow: reaches the dispatcher and the link state it reads.
class MainWindowProbe
{
public:
    explicit MainWindowProbe(MainWindow &window)
        : m_window(window), m_pristineDecoder(window.pointCloudDecoder),
          m_pristineRawParser(window.rawRegionParser),
          m_pristineModbusParser(window.modbusRegionParser),
          m_regionDisplay(child<RadarIndicatorWidget>("radarIndicatorWidgetDrawRgn")),
          m_menu(child<QListWidget>("listWidgetMenu"))
    {}

    void prepare(const ReceiveControl &control)
    {
        MainWindow &w = m_window;
        w.linkState = control.linkState;
        w.connMode = control.connMode;
        w.regionRequestAcked = control.regionRequestAcked;
        w.replyReceived = false;
        w.regionsReceived = false;
        w.setScanGeometry(control.fineResolution ? ScanGeometry::fine() : ScanGeometry::coarse());
        // The echo of a write to block 0, as the region writing expects it.
        w.expectedWriteEcho =
            control.writeEchoExpected ? appendModbusCrc(QStringLiteral("011000000044")) : QString();
        w.pointCloudDecoder = m_pristineDecoder;
        w.rawRegionParser = m_pristineRawParser;
        w.modbusRegionParser = m_pristineModbusParser;
        // The monitor would otherwise grow with every input until its own limit clears it.
        w.dataMessageLog->clear();
        m_menu->setCurrentRow(control.regionPageShown ? regionPageRow : scanPageRow);
    }

    void receive(const QByteArray &chunk) { m_window.handleReceivedData(chunk); }

    // What no chunk may change, whatever it carries.
    void checkAfterChunk(const ReceiveControl &control) const
    {
        const MainWindow &w = m_window;
        FUZZ_CHECK(w.linkState == control.linkState && w.connMode == control.connMode);
        const bool coarse =
            w.frameLength == 113 && w.pointsPerFrame == 50 && w.angleResolution == 0.36;
        const bool fine =
            w.frameLength == 213 && w.pointsPerFrame == 100 && w.angleResolution == 0.18;
        FUZZ_CHECK(coarse || fine);
        if (control.linkState == StartingScan || control.linkState == Scanning)
            FUZZ_CHECK(!w.replyReceived);
        if (control.linkState != RegionsFromDevice)
            FUZZ_CHECK(!w.regionsReceived);
        FUZZ_CHECK(w.rawRegionParser.frameCount() < RegionFrame::regionCount);
        FUZZ_CHECK(w.modbusRegionParser.frameCount() < RegionFrame::regionCount);
        FUZZ_CHECK(w.dataMessageLog->characterCount() <= 2 * DataMessageLog::maxCharacters);
        checkStoreShape();
    }

private:
    static constexpr int scanPageRow = 1;
    static constexpr int regionPageRow = 2;

    template <typename T> T *child(const char *name) const
    {
        T *found = m_window.findChild<T *>(QLatin1String(name));
        FUZZ_CHECK(found != nullptr);
        return found;
    }

    void checkStoreShape() const
    {
        const RegionStore &store = m_regionDisplay->regions();
        FUZZ_CHECK(store.size() == Regions::groupCount);
        for (auto group = store.cbegin(); group != store.cend(); ++group) {
            FUZZ_CHECK(group.key() >= 1 && group.key() <= Regions::groupCount);
            FUZZ_CHECK(group->size() == Regions::regionsPerGroup);
            for (const Region &region : *group)
                FUZZ_CHECK(region.polygon.size() <= Regions::maxVertices);
        }
    }

    MainWindow &m_window;
    const PointCloudDecoder m_pristineDecoder;
    const RegionFrameParser m_pristineRawParser;
    const RegionFrameParser m_pristineModbusParser;
    RadarIndicatorWidget *m_regionDisplay;
    QListWidget *m_menu;
};

namespace {

MainWindowProbe *probe = nullptr;

// A completed region reading shows its message in a modal dialog, whose event loop would
// wait for an operator forever. This timer runs only inside such a loop (the dispatcher
// itself never turns the event loop) and answers the dialog at once.
void answerModalDialogs()
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    timer->start(0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_receive";
    static char *argv[] = {name, nullptr};
    // The application and the window live as long as the process.
    new QApplication(argc, argv);
    auto *window = new MainWindow;
    window->resize(1024, 768);
    window->show();
    probe = new MainWindowProbe(*window);
    answerModalDialogs();
    QApplication::processEvents();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 first = input.takeByte();
    const ReceiveControl control = ReceiveControl::fromBytes(first, input.takeByte());
    probe->prepare(control);
    for (const QByteArray &chunk : input.takeChunks()) {
        probe->receive(chunk);
        probe->checkAfterChunk(control);
    }
    // Repaints and deferred work of this input happen now, not during the next one.
    QApplication::processEvents();
    return 0;
}
