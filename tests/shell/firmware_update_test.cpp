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

const QString kConfirm = "Neue Software Version 2.10 programmieren?";

struct FirmwareRig : LinkRig {
    FirmwareRig() {
        for (int id : {100, 101, 102, 103, 104, 105, 106, 107, 2400, 3800, 3801, 3802, 3803, 3804,
                       3805, 5000})
            texts.texts[size_t(id)] = QStringLiteral("T%1").arg(id);
        settings.INITDIR = app_dir;
        QObject::connect(&update, &FirmwareUpdate::reinitialise, [this] {
            ++reinits;
            poll.connect();
        });
        QObject::connect(&poll, &PollCycle::was_reset, [this] { image.clear(); });
        hardware = emulated_hardware_id(device.state());
    }

    QString write_image(const QByteArray& text, const QString& name = "fw.qv5") {
        const QString path = app_dir + name;
        EXPECT_TRUE(write_bytes(path, text));
        return path;
    }
    QString write_image(const QList<QByteArray>& blocks) {
        return write_image(image_file_text("2.10", {"S0815,E0001", hardware}, blocks));
    }
    void connect_device() {
        poll.connect();
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
    // Whatever happened, the update must end here: progress closed, window
    // usable, and the connection initialised afresh at the normal speed.
    void expect_reinitialised() const {
        EXPECT_EQ(reinits, 1);
        EXPECT_FALSE(progress.isVisible());
        EXPECT_TRUE(main_window.isEnabled());
        EXPECT_TRUE(poll_timer_active());
        if (ft.is_open()) {
            EXPECT_EQ(ft.line().baud, 19200u);
        }
    }
    bool poll_timer_active() const { return const_cast<PollCycle&>(poll).timer1().isActive(); }

    QTemporaryDir dir;
    QString app_dir = dir.path() + "/";
    QWidget main_window;
    InfoWindow progress{&main_window, texts};
    FirmwareImage image;
    FirmwareUpdate update{
        {settings, app_dir, dialogs, texts, geraet, frames, port, poll, progress, image}};
    QString hardware;
    int reinits = 0;
};

TEST(FirmwareUpdate, ProgramsEveryBlockInOrderThenRestartsAndReconnects) {
    FirmwareRig rig;
    rig.connect_device();
    const QList<QByteArray> blocks = image_blocks(6);
    rig.run_update(rig.write_image(blocks));

    EXPECT_EQ(rig.dialogs.questions, QStringList{kConfirm});
    EXPECT_EQ(rig.dialogs.messages, QStringList{"T104"});
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), blocks);
    EXPECT_EQ(rig.device.boot_loader().restarts(), 1);
    // The boot loader heard one "I" (a reply still on its way from the
    // firmware does not spoil it), the blocks, and "R": nothing else.
    QList<QByteArray> expected{"I"};
    expected += blocks;
    expected.append("R");
    EXPECT_EQ(rig.boot_writes(), expected);
    for (const WireLogEntry& e : rig.wire)
        EXPECT_FALSE(e.note.contains("lost")) << e.note.toStdString();
    // 500 ms after "b", 250 ms for the identity, each block answered between
    // the first and the second 40 ms poll, one second after "R".
    std::vector<int> waits{500, 250};
    for (int n = 0; n < 6; ++n) waits.insert(waits.end(), {40, 40});
    waits.push_back(1000);
    EXPECT_EQ(rig.waiter.waits, waits);

    rig.expect_reinitialised();
    EXPECT_TRUE(rig.image.blocks.isEmpty());  // the link reset empties the image
    EXPECT_TRUE(rig.run_until_connected());
    EXPECT_EQ(rig.ft.line().baud, 19200u);
}

TEST(FirmwareUpdate, ProgressWindowCountsTheBlocksWhileEverythingIsDisabled) {
    FirmwareRig rig;
    rig.connect_device();
    struct Seen {
        bool visible, enabled, button_enabled, main_enabled;
        QString text;
        int value, maximum;
    };
    std::vector<Seen> seen;
    rig.waiter.during = [&](int ms) {
        if (ms != 40) return;
        const auto* bar = rig.progress.findChild<QProgressBar*>("bar_progress");
        seen.push_back({rig.progress.isVisible(), rig.progress.isEnabled(),
                        rig.progress.findChild<QWidget*>("cm_cancel")->isEnabled(),
                        rig.main_window.isEnabled(), rig.progress.text(), bar->value(),
                        bar->maximum()});
    };
    rig.run_update(rig.write_image(image_blocks(3)));
    ASSERT_EQ(seen.size(), 6u);
    for (size_t i = 0; i < seen.size(); ++i) {
        const int n = int(i / 2) + 1;
        EXPECT_TRUE(seen[i].visible);
        EXPECT_FALSE(seen[i].enabled);
        EXPECT_FALSE(seen[i].button_enabled);
        EXPECT_FALSE(seen[i].main_enabled);
        EXPECT_EQ(seen[i].text, QString("Software Update Block %1/3").arg(n));
        EXPECT_EQ(seen[i].value, n - 1);
        EXPECT_EQ(seen[i].maximum, 3);
    }
    rig.expect_reinitialised();
}

struct FailureRow {
    const char* name;
    std::function<void(FirmwareRig&)> arrange;  // faults and files, before the update
    std::function<QString(FirmwareRig&)> file;  // what the dialog returns
    bool confirm;
    std::function<QStringList(FirmwareRig&, const QString&)> messages;
    int blocks_programmed;
};

QStringList none(FirmwareRig&, const QString&) {
    return {};
}

TEST(FirmwareUpdate, EveryWayToFailEndsInAFreshConnection) {
    const auto good = [](FirmwareRig& r) { return r.write_image(image_blocks(4)); };
    const auto text = [](const QByteArray& t) {
        return [t](FirmwareRig& r) { return r.write_image(t); };
    };
    const auto says = [](const QString& m) {
        return [m](FirmwareRig&, const QString&) { return QStringList{m}; };
    };
    const auto nothing = [](FirmwareRig&) {};
    const FailureRow rows[] = {
        {"dialog cancelled", nothing, [](FirmwareRig&) { return QString(); }, true, none, 0},
        {"new folder cannot be saved",
         [](FirmwareRig& r) {
             r.settings.INITDIR = "/elsewhere/";
             QDir(r.app_dir).mkdir("quorvel5.ini");  // a folder where the file belongs
         },
         good, true, says("T5000"), 0},
        {"first line malformed", nothing, text("VERSION=2=10\r\nHARDWARE=S1,E2\r\n"), true,
         says("T3800"), 0},
        {"second line malformed", nothing, text("VERSION=2.10\r\nHARDWARE S1,E2\r\n"), true,
         says("T3801"), 0},
        {"hardware list empty", nothing, text("VERSION=2.10\r\nHARDWARE=\r\n"), true, says("T3802"),
         0},
        {"data line not beginning with 42", nothing,
         text("VERSION=2.10\r\nHARDWARE=S1305A,E0001\r\n4201\r\n24\r\n"), true, says("T38031"), 0},
        {"file cannot be read", nothing, [](FirmwareRig& r) { return r.app_dir + "gone.qv5"; },
         true,
         [](FirmwareRig&, const QString& f) {
             return QStringList{"T3804 " + f + " T3805\r\nNo such file or directory"};
         },
         0},
        {"image not for this hardware", nothing,
         text("VERSION=2.10\r\nHARDWARE=S1305B,E0001| S1305A,E0001\r\n4201\r\n"), true,
         says("T100 2.10 T101 S1305A,E0001 T102"), 0},
        {"not confirmed", nothing, good, false, none, 0},
        {"line speed cannot be changed",
         [](FirmwareRig& r) { r.ft.fail(EmulatorFtd2xx::Call::SetBaudRate, 4, 1); }, good, true,
         says("T2400 DLL-Error:4"), 0},
        {"boot loader with an extended identity",
         [](FirmwareRig& r) { r.device.boot_faults().identity = "qv60000_BL10_X"; }, good, true,
         says("T103\r\nqv60000_BL10_X"), 0},
        {"boot loader with another identity",
         [](FirmwareRig& r) { r.device.boot_faults().identity = "qv60000_BL11_"; }, good, true,
         says("T103\r\nqv60000_BL11_"), 0},
        {"block answered with another letter",
         [](FirmwareRig& r) {
             r.device.boot_faults().reject_every = 1;
             r.device.boot_faults().reject_letter = 'F';
         },
         good, true, says("T1051:'F'"), 0},
        {"block never answered", [](FirmwareRig& r) { r.device.boot_faults().silent_every = 1; },
         good, true, says("T1051:''"), 0},
        {"block wanting more fillers than are sent",
         [](FirmwareRig& r) { r.device.boot_faults().fillers_before_reply = 22; }, good, true,
         says("T1051:''"), 0},
        {"line dropping mid-update",
         [](FirmwareRig& r) { r.device.boot_faults().drop_line_after = 2; }, good, true,
         says("T1052:''"), 2},
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.name);
        FirmwareRig rig;
        rig.connect_device();
        row.arrange(rig);
        const QString file = row.file(rig);
        rig.run_update(file, row.confirm);
        EXPECT_EQ(rig.dialogs.messages, row.messages(rig, file));
        EXPECT_EQ(rig.device.boot_loader().accepted_blocks().size(), row.blocks_programmed);
        EXPECT_EQ(rig.device.boot_loader().restarts(), 0);
        rig.expect_reinitialised();
    }
}

TEST(FirmwareUpdate, HandshakeTriesThreeTimesAndOnlyTheExactIdentityCounts) {
    FirmwareRig rig;
    rig.connect_device();
    rig.device.boot_faults().identity = "qv60000_BL10_ ";
    rig.run_update(rig.write_image(image_blocks(1)));
    EXPECT_EQ(rig.boot_writes(), (QList<QByteArray>{"I", "I", "I"}));
    EXPECT_EQ(rig.waiter.waits, (std::vector<int>{500, 250, 250, 250}));
    EXPECT_EQ(rig.dialogs.messages, QStringList{"T103\r\nqv60000_BL10_ "});
}

TEST(FirmwareUpdate, SilentBlocksGetNinePollsThenFillersUntilALateReply) {
    // fillers: the boot loader answers a block after that many zero bytes.
    // silent: every second block it receives draws no reply at all, so the
    // second block is sent again after nine polls and 21 fillers.
    const QByteArray zero(1, '\0');
    const QList<QByteArray> blocks = image_blocks(2);
    struct Case {
        const char* name;
        int fillers;
        bool silent;
        QList<QByteArray> writes;  // between "I" and "R"
        std::vector<int> waits;    // between the handshake and the restart
    };
    const auto repeat = [](int n, const auto& item) {
        return QList<std::decay_t<decltype(item)>>(n, item);
    };
    const auto ms = [](std::initializer_list<std::pair<int, int>> runs) {
        std::vector<int> waits;
        for (const auto& [count, each] : runs) waits.insert(waits.end(), size_t(count), each);
        return waits;
    };
    const Case cases[] = {
        {"answer after five fillers", 5, false,
         QList<QByteArray>{blocks[0]} + repeat(5, zero) + QList<QByteArray>{blocks[1]} +
             repeat(5, zero),
         ms({{9, 40}, {5, 50}, {9, 40}, {5, 50}})},
        {"answer after the last of 21 fillers", 21, false,
         QList<QByteArray>{blocks[0]} + repeat(21, zero) + QList<QByteArray>{blocks[1]} +
             repeat(21, zero),
         ms({{9, 40}, {21, 50}, {9, 40}, {21, 50}})},
        {"no answer at all, then a second try", 0, true,
         QList<QByteArray>{blocks[0], blocks[1]} + repeat(21, zero) + QList<QByteArray>{blocks[1]},
         ms({{2, 40}, {9, 40}, {21, 50}, {2, 40}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirmwareRig rig;
        rig.connect_device();
        rig.device.boot_faults().fillers_before_reply = c.fillers;
        rig.device.boot_faults().silent_every = c.silent ? 2 : 0;
        rig.run_update(rig.write_image(blocks));
        EXPECT_EQ(rig.dialogs.messages, QStringList{"T104"});
        EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), blocks);
        EXPECT_EQ(rig.boot_writes(), QList<QByteArray>{"I"} + c.writes + QList<QByteArray>{"R"});
        std::vector<int> waits{500, 250};
        waits.insert(waits.end(), c.waits.begin(), c.waits.end());
        waits.push_back(1000);
        EXPECT_EQ(rig.waiter.waits, waits);
    }
}

TEST(FirmwareUpdate, NewFolderIsSavedBeforeTheImageIsReadAndTheSameFolderIsNot) {
    FirmwareRig rig;
    rig.connect_device();
    const QString ini = rig.app_dir + "quorvel5.ini";
    // In INITDIR itself: no settings file.
    rig.run_update(rig.write_image("VERSION=2=10\r\nHARDWARE=S1,E2\r\n"));
    EXPECT_FALSE(QFile::exists(ini));
    EXPECT_EQ(rig.dialogs.dialog_dirs, QStringList{rig.app_dir});

    // Elsewhere: the new folder is written even though the image is no good.
    ASSERT_TRUE(QDir(rig.app_dir).mkdir("images"));
    ASSERT_TRUE(rig.run_until_connected());
    rig.run_update(rig.write_image("VERSION=2=10\r\nHARDWARE=S1,E2\r\n", "images/fw.qv5"));
    EXPECT_EQ(rig.settings.INITDIR, rig.app_dir + "images/");
    EXPECT_TRUE(read_bytes(ini).contains(("INITDIR|" + rig.app_dir + "images/\r\n").toUtf8()));
    EXPECT_EQ(rig.dialogs.messages, (QStringList{"T3800", "T3800"}));
}

TEST(FirmwareUpdate, WithoutADeviceOnlyTheConnectionIsInitialised) {
    for (const bool silent_firmware : {false, true}) {
        SCOPED_TRACE(silent_firmware ? "device answering nothing" : "no device");
        FirmwareRig rig;
        if (silent_firmware) {
            rig.device.faults().silent = true;
            rig.poll.connect();
        } else {
            rig.device.faults().unplugged = true;
        }
        rig.update.firmware_update();
        EXPECT_TRUE(rig.dialogs.dialog_dirs.isEmpty());
        EXPECT_TRUE(rig.dialogs.messages.isEmpty());
        EXPECT_EQ(rig.device.boot_loader().accepted_blocks().size(), 0);
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
    ASSERT_EQ(rig.dialogs.messages, QStringList{"T1052:''"});

    // The line comes back; the program reopens it but hears nothing.
    rig.run_ticks(400);
    EXPECT_TRUE(rig.device.in_boot_loader());
    EXPECT_FALSE(rig.geraet.verbunden);

    rig.run_update(file);
    // The device this program switched over is still known: no warning.
    EXPECT_EQ(rig.dialogs.questions, (QStringList{kConfirm, kConfirm}));
    EXPECT_EQ(rig.dialogs.messages, (QStringList{"T1052:''", "T104"}));
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks().mid(2), blocks);
    EXPECT_EQ(rig.device.boot_loader().restarts(), 1);
    EXPECT_TRUE(rig.run_until_connected());
}

TEST(FirmwareUpdate, BootLoaderFoundAtStartWarnsThatTheHardwareIsUnknown) {
    FirmwareRig rig;
    rig.device.receive_from_host(build_frame(req_boot()), 0);  // left there before this run
    rig.poll.connect();
    rig.run_ticks(100);
    ASSERT_FALSE(rig.geraet.verbunden);

    const QList<QByteArray> blocks = image_blocks(3);
    const QString file = rig.write_image(blocks);
    rig.run_update(file, false);
    EXPECT_EQ(rig.dialogs.questions, QStringList{"T106\r\n" + kConfirm});
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks().size(), 0);

    rig.run_update(file, true);
    EXPECT_EQ(rig.device.boot_loader().accepted_blocks(), blocks);
    EXPECT_EQ(rig.dialogs.messages, QStringList{"T104"});
    EXPECT_TRUE(rig.run_until_connected());
}

TEST(OpenDialog, DefaultExtensionComesFromASinglePatternFilter) {
    EXPECT_EQ(default_suffix("Tessmar O2 Software (*.qv5)"), "qv5");
    EXPECT_EQ(default_suffix("Textdateien (*.txt)"), "txt");
    EXPECT_EQ(default_suffix("Images (*.qv5 *.hex)"), "");
    EXPECT_EQ(default_suffix("All (*)"), "");
    EXPECT_EQ(default_suffix(""), "");
}

}  // namespace
