// The firmware update on the emulated device with a hand-moved clock: every
// wait moves the clock on, so a whole update takes no real time.
#include <gtest/gtest.h>
#include <QProgressBar>
#include <QTemporaryDir>
#include <functional>

#include "link/frame.h"
#include "link/requests.h"
#include "platform/qt_dialogs.h"
#include "shell/firmware_image.h"
#include "shell/firmware_update.h"
#include "shell/info_window.h"
#include "sim/firmware_image_file.h"
#include "support/files.h"
#include "support/link_rig.h"

namespace {

const QString kConfirm = "T6211 2.10";
const QString kConfirmBoth = "T6604 1305A 2.10";
const QString kNextStep = "\r\n\r\nT6213";

struct FirmwareRig : LinkRig {
    FirmwareRig() {
        for (int id :
             {100, 101, 102, 103, 104, 105, 106, 2400, 3800, 3801, 3802, 3803, 3804, 3805, 5000})
            texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
        texts.texts[6210] = "T6210";
        texts.texts[6211] = "T6211 %1";
        texts.texts[6604] = "T6604 %1 %2";
        texts.texts[6212] = "T6212 %1/%2";
        texts.texts[6213] = "T6213";
        settings.INITDIR = app_dir;
        QObject::connect(&update, &FirmwareUpdate::reinitialise, [this] {
            ++reinits;
            link.poll.connect();
        });
        QObject::connect(&link.poll, &PollCycle::was_reset, [this] { image.clear(); });
    }
    QString write_image(const QByteArray& text, const QString& name = "fw.qv5") {
        EXPECT_TRUE(write_bytes(app_dir + name, text));
        return app_dir + name;
    }
    QString write_image(const QList<QByteArray>& blocks) {
        return write_image(
            image_file_text("2.10", {"S0815,E0001", emulated_hardware_id(device.state())}, blocks));
    }
    void connect_device() {
        link.poll.connect();
        ASSERT_TRUE(run_until_connected());
        run_ticks(3);
    }
    // Picks `file` in the dialog and answers the confirmation with `yes`.
    void run_update(const QString& file, bool yes = true) {
        dialogs.files.push_back(file);
        dialogs.answers.push_back(yes);
        waiter.waits.clear();
        wire.clear();
        update.firmware_update();
    }
    // The raw bytes the boot loader received, one entry per write.
    QList<QByteArray> boot_writes() const {
        QList<QByteArray> writes;
        for (const WireLogEntry& e : wire)
            if (e.boot_loader && e.direction == WireLogEntry::Direction::Received)
                writes.append(e.bytes);
        return writes;
    }
    // Whatever happened, the update ends here: progress closed, window usable,
    // the connection initialised afresh at the normal speed.
    void expect_reinitialised() {
        EXPECT_EQ(reinits, 1);
        EXPECT_FALSE(progress.isVisible());
        EXPECT_TRUE(main_window.isEnabled());
        EXPECT_TRUE(link.poll.timer1().isActive());
        if (ft.is_open()) {
            EXPECT_EQ(ft.line().baud, 19200u);
        }
    }

    QTemporaryDir dir;
    QString app_dir = dir.path() + "/";
    QWidget main_window;
    InfoWindow progress{&main_window, texts};
    FirmwareImage image;
    FirmwareUpdate update{{settings, app_dir, dialogs, texts, link.geraet, link.frames, link.port,
                           link.poll, progress, image}};
    int reinits = 0;
};

TEST(FirmwareUpdate, ProgramsEveryBlockInOrderThenRestartsAndReconnects) {
    FirmwareRig rig;
    rig.connect_device();
    // What the progress window shows at each 40 ms poll.
    QStringList shown;
    rig.waiter.during = [&](int ms) {
        const auto* bar = rig.progress.findChild<QProgressBar*>("bar_progress");
        const bool all_disabled = !rig.progress.isEnabled() && !rig.main_window.isEnabled() &&
                                  !rig.progress.findChild<QWidget*>("cm_cancel")->isEnabled();
        if (ms == 40 && rig.progress.isVisible() && all_disabled)
            shown << QString("%1 %2/%3")
                         .arg(rig.progress.text())
                         .arg(bar->value())
                         .arg(bar->maximum());
    };
    const QList<QByteArray> blocks = image_blocks(3);
    // A request is still out when the update starts; its reply comes late.
    rig.link.frames.enqueue(req_version());
    rig.link.frames.send_next();
    rig.run_update(rig.write_image(blocks));

    EXPECT_EQ(rig.dialogs.questions, QStringList{kConfirmBoth});
    EXPECT_EQ(rig.dialogs.messages, QStringList{"T104"});
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), blocks);
    EXPECT_EQ(rig.device.boot_loader().restarts(), 1);
    // One "I" (a reply still on its way from the firmware must not spoil it),
    // the blocks and "R": nothing else reached the boot loader, nothing was lost.
    EXPECT_EQ(rig.boot_writes(), QList<QByteArray>{"I"} + blocks + QList<QByteArray>{"R"});
    for (const WireLogEntry& e : rig.wire) EXPECT_FALSE(e.note.contains("lost"));
    // 500 ms after "b", 250 ms for the identity, each block answered between
    // the first and the second poll, a second after "R".
    EXPECT_EQ(rig.waiter.waits, (std::vector<int>{500, 250, 40, 40, 40, 40, 40, 40, 1000}));
    EXPECT_EQ(shown,
              (QStringList{"T6212 1/3 0/3", "T6212 1/3 0/3", "T6212 2/3 1/3", "T6212 2/3 1/3",
                           "T6212 3/3 2/3", "T6212 3/3 2/3"}));
    rig.expect_reinitialised();
    EXPECT_TRUE(rig.image.blocks.isEmpty());  // the link reset empties the image
    EXPECT_TRUE(rig.run_until_connected());
}

TEST(FirmwareUpdate, EveryWayToFailEndsInAFreshConnection) {
    struct Row {
        const char* name;
        std::function<void(FirmwareRig&)> arrange;
        QByteArray image;  // empty: four good blocks for this device
        QString file;      // empty: the image; "-": cancel; else a name in the folder
        bool confirm;
        QString message;  // "%1" is the file
        int programmed;
    };
    const auto none = [](FirmwareRig&) {};
    const auto boot = [](std::function<void(BootLoaderFaults&)> set) {
        return [set](FirmwareRig& r) { set(r.device.boot_faults()); };
    };
    const QByteArray head = "VERSION=2.10\r\nHARDWARE=S1305A,E0001\r\n";
    const Row rows[] = {
        {"dialog cancelled", none, "", "-", true, "", 0},
        {"new folder cannot be saved",
         [](FirmwareRig& r) {
             r.settings.INITDIR = "/elsewhere/";
             QDir(r.app_dir).mkdir("quorvel5.ini");  // a folder where the file belongs
         },
         "", "", true, "T5000", 0},
        {"first line", none, "VERSION=2=10\r\nHARDWARE=S1,E2\r\n", "", true, "T3800", 0},
        {"second line", none, "VERSION=2.10\r\nHARDWARE S1,E2\r\n", "", true, "T3801", 0},
        {"empty hardware", none, "VERSION=2.10\r\nHARDWARE=\r\n", "", true, "T3802", 0},
        {"data line", none, head + "4201\r\n24\r\n", "", true, "T38031", 0},
        {"no blocks", none, head + "\r\n", "", true, "T6210", 0},
        {"unreadable file", none, "", "gone.qv5", true,
         "T3804 %1 T3805\r\nNo such file or directory", 0},
        {"other hardware", none, "VERSION=2.10\r\nHARDWARE=S1305B,E0001| S1305A,E0001\r\n42\r\n",
         "", true, "T100 2.10 T101 S1305A,E0001 T102", 0},
        {"not confirmed", none, "", "", false, "", 0},
        {"line speed", [](FirmwareRig& r) { r.ft.fail(EmulatorFtd2xx::Call::SetBaudRate, 4, 1); },
         "", "", true, "T2400 DLL-Error:4", 0},
        {"extended identity", boot([](BootLoaderFaults& f) { f.identity = "qv60000_BL10_X"; }), "",
         "", true, "T103\r\nqv60000_BL10_X", 0},
        {"other identity", boot([](BootLoaderFaults& f) { f.identity = "qv60000_BL11_"; }), "", "",
         true, "T103\r\nqv60000_BL11_", 0},
        {"other letter",
         boot([](BootLoaderFaults& f) { f.reject_every = 1, f.reject_letter = 'F'; }), "", "", true,
         "T1051:'F'", 0},
        {"silent block", boot([](BootLoaderFaults& f) { f.silent_every = 1; }), "", "", true,
         "T1051:''", 0},
        {"too few fillers", boot([](BootLoaderFaults& f) { f.fillers_before_reply = 22; }), "", "",
         true, "T1051:''", 0},
        {"line dropped", boot([](BootLoaderFaults& f) { f.drop_line_after = 2; }), "", "", true,
         "T1052:''", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FirmwareRig rig;
        rig.connect_device();
        row.arrange(rig);
        const QString file = row.file == "-"       ? QString()
                             : !row.file.isEmpty() ? rig.app_dir + row.file
                             : row.image.isEmpty() ? rig.write_image(image_blocks(4))
                                                   : rig.write_image(row.image);
        rig.run_update(file, row.confirm);
        // Once "b" went out the device waits in its boot loader, and the
        // message says how to go on from there.
        const bool boot = row.message.startsWith("T2400") || row.message.startsWith("T103") ||
                          row.message.startsWith("T105");
        EXPECT_EQ(rig.device.in_boot_loader(), boot);
        EXPECT_EQ(rig.dialogs.messages,
                  row.message.isEmpty()
                      ? QStringList()
                      : QStringList{QString(row.message).replace("%1", file) +
                                    (boot ? kNextStep : QString())});
        EXPECT_EQ(rig.device.boot_loader().accepted_blocks().size(), row.programmed);
        EXPECT_EQ(rig.device.boot_loader().restarts(), 0);
        // The handshake is tried three times before it is given up.
        // Three tries at the handshake before it is given up; one when it worked.
        const int identified = row.message.startsWith("T103") ? 3 : row.message.startsWith("T105");
        EXPECT_EQ(rig.boot_writes().count("I"), identified);
        rig.expect_reinitialised();
    }
}

TEST(FirmwareUpdate, SilentBlocksGetNinePollsThenFillersUntilALateReply) {
    // The boot loader answers after `fillers` zero bytes, or (silent) leaves
    // every second block it receives unanswered, so block 2 goes out twice.
    const QByteArray zero(1, '\0');
    const QList<QByteArray> b = image_blocks(2);
    const auto zeros = [&](int n) { return QList<QByteArray>(n, zero); };
    const auto runs = [](std::initializer_list<std::pair<int, int>> counts_and_ms) {
        std::vector<int> waits{500, 250};
        for (const auto& [count, ms] : counts_and_ms) waits.insert(waits.end(), size_t(count), ms);
        waits.push_back(1000);
        return waits;
    };
    struct Case {
        int fillers;
        bool silent;
        QList<QByteArray> writes;  // between "I" and "R"
        std::vector<int> waits;
    };
    const Case cases[] = {
        {5, false, QList{b[0]} + zeros(5) + QList{b[1]} + zeros(5),
         runs({{9, 40}, {5, 50}, {9, 40}, {5, 50}})},
        {21, false, QList{b[0]} + zeros(21) + QList{b[1]} + zeros(21),
         runs({{9, 40}, {21, 50}, {9, 40}, {21, 50}})},
        {0, true, QList{b[0], b[1]} + zeros(21) + QList{b[1]},
         runs({{2, 40}, {9, 40}, {21, 50}, {2, 40}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fillers);
        FirmwareRig rig;
        rig.connect_device();
        rig.device.boot_faults().fillers_before_reply = c.fillers;
        rig.device.boot_faults().silent_every = c.silent ? 2 : 0;
        rig.run_update(rig.write_image(b));
        EXPECT_EQ(rig.dialogs.messages, QStringList{"T104"});
        EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), b);
        EXPECT_EQ(rig.boot_writes(), QList<QByteArray>{"I"} + c.writes + QList<QByteArray>{"R"});
        EXPECT_EQ(rig.waiter.waits, c.waits);
    }
}

TEST(FirmwareUpdate, OnlyTheFolderOfAnImageThatWasReadIsRemembered) {
    FirmwareRig rig;
    rig.connect_device();
    const QString ini = rig.app_dir + "quorvel5.ini";
    const QByteArray bad = "VERSION=2=10\r\nHARDWARE=S1,E2\r\n";
    rig.run_update(rig.write_image(bad));
    EXPECT_FALSE(QFile::exists(ini));
    EXPECT_EQ(rig.dialogs.dialog_dirs, QStringList{rig.app_dir});

    ASSERT_TRUE(QDir(rig.app_dir).mkdir("images"));
    ASSERT_TRUE(rig.run_until_connected());
    rig.run_update(rig.write_image(bad, "images/fw.qv5"));
    EXPECT_FALSE(QFile::exists(ini));  // a faulty image is no folder to remember
    EXPECT_EQ(rig.dialogs.messages, (QStringList{"T3800", "T3800"}));
}

TEST(FirmwareUpdate, WithoutADeviceOnlyTheConnectionIsInitialised) {
    for (const bool silent_firmware : {false, true}) {
        FirmwareRig rig;
        rig.device.faults().silent = silent_firmware;
        rig.device.faults().unplugged = !silent_firmware;
        rig.link.poll.connect();
        rig.update.firmware_update();
        EXPECT_TRUE(rig.dialogs.dialog_dirs.isEmpty() && rig.dialogs.messages.isEmpty());
        rig.expect_reinitialised();
    }
}

// A failed update leaves the device in its boot loader, where the normal
// connection cannot reach it: a second update must start from there.
TEST(FirmwareUpdate, DeviceLeftInItsBootLoaderCanBeProgrammedAgain) {
    FirmwareRig rig;
    rig.connect_device();
    rig.device.boot_faults().drop_line_after = 2;
    rig.device.boot_faults().drop_line_for_ms = 8000;
    const QList<QByteArray> blocks = image_blocks(5);
    const QString file = rig.write_image(blocks);
    rig.run_update(file);
    rig.run_ticks(400);  // the line comes back; the program reopens it but hears nothing
    ASSERT_TRUE(rig.device.in_boot_loader() && !rig.link.geraet.verbunden);

    rig.run_update(file);
    // The boot loader does not tell its version: only the image's is named.
    EXPECT_EQ(rig.dialogs.questions, (QStringList{kConfirmBoth, kConfirm}));
    EXPECT_EQ(rig.dialogs.messages, (QStringList{"T1052:''" + kNextStep, "T104"}));
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks().mid(2), blocks);
    EXPECT_TRUE(rig.run_until_connected());
}

TEST(FirmwareUpdate, BootLoaderFoundAtStartWarnsThatTheHardwareIsUnknown) {
    FirmwareRig rig;
    rig.device.receive_from_host(build_frame(req_boot()), 0);  // left there before this run
    rig.link.poll.connect();
    rig.run_ticks(100);
    const QList<QByteArray> blocks = image_blocks(3);
    rig.run_update(rig.write_image(blocks), false);
    EXPECT_EQ(rig.dialogs.questions, QStringList{"T106\r\n" + kConfirm});
    rig.run_update(rig.write_image(blocks), true);
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), blocks);
    EXPECT_EQ(rig.dialogs.messages, QStringList{"T104"});
    EXPECT_TRUE(rig.run_until_connected());
}

TEST(OpenDialog, DefaultExtensionComesFromASinglePatternFilter) {
    EXPECT_EQ(default_suffix("Tessmar O2 Software (*.qv5)"), "qv5");
    EXPECT_EQ(default_suffix("Images (*.qv5 *.hex)"), "");
    EXPECT_EQ(default_suffix("All (*)"), "");
}

}  // namespace
