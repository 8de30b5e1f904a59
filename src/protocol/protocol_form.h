#pragma once

#include <QObject>

#include "protocol/protocol_controls.h"
#include "protocol/protocol_file.h"

class BoxHints;
class QGroupBox;

// The "Protokoll" tab: the technician fills in the service protocol of the
// connected device, saves it and opens saved ones. A visit of the tab starts a
// new protocol stamped with date and time and carrying a copy of the device
// data; unsaved changes are asked about before they would be lost.
class ProtocolForm : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Pruefprotokoll& record;
        const Geraetedaten& geraet;  // the live device data
        ProtocolFiles files;
    };
    // Builds the controls into `frame`, which must outlive the form.
    ProtocolForm(QGroupBox* frame, Parts parts, QObject* parent = nullptr);

    const ProtocolControls& controls() const { return c_; }

    // The frame and the save button together: usable only while the protocol
    // holds device data to document.
    void enable_protocol(bool on);
    // Starts a protocol from `source` (copied when connected, otherwise the
    // copy is emptied); `clear` empties the entries. The form is not touched.
    void init_protocol(const Geraetedaten& source, bool clear);
    // An empty protocol without device data, shown.
    void reset_protocol();
    void stamp_date_time();
    // Shows the record: entries, device data block; clears the changes flag.
    void record_to_form();
    void form_to_record();
    // With unsaved changes: Save saves, Discard throws them away, Cancel keeps
    // them (`question` in place of the usual one). True when the caller may
    // go on (saved, discarded, or nothing to ask); false after Cancel or a
    // save that was cancelled or failed.
    bool checksaved(const QString& question = QString());

    // A tab of the main window was chosen by the technician: the protocol tab
    // starts a new protocol unless the current one has unsaved changes.
    void tab_clicked(int index);
    // "Neu": after the question, a new protocol of the connected device.
    bool start_new_protocol(const QString& question = QString());
    // The serial number of the device the protocol was started for, or of
    // the opened file; "" while it was started without a device.
    const QString& started_for() const { return started_for_; }
    // An opened file is shown for viewing: its boxes are read-only, and
    // "Neu", "Öffnen" and "Drucken" stay usable.
    bool viewing() const { return viewing_; }
    // The protocol's device is connected again after the link reset emptied
    // the protocol's copy of its data: the entries on the form stay, the copy
    // is taken afresh.
    void take_device_again();
    // The file the protocol was last saved to or opened from; "" for a new one.
    const QString& file_path() const { return file_path_; }
    // The PDF file a print offers: the protocol's own folder and name, or for
    // a new protocol the name a save would propose, in INITDIR.
    QString pdf_proposal() const;
    // The poll cycle found the device again. A protocol with unsaved changes
    // or an opened file stays as it is, with its own device data; otherwise a
    // fresh one starts.
    void device_reopened();

    bool save_protocol();
    bool open_protocol();

signals:
    void print_requested();

private:
    void wire();
    void changed();
    void draw_geraetedaten();
    void new_protocol();
    void set_viewing(bool on);

    Parts p_;
    ProtocolControls c_;
    BoxHints* hints_ = nullptr;  // the hint line under the form; owned as a child
    bool discarded_ = false;     // the last question's answer was Discard
    QString file_path_;
    QString started_for_;
    bool viewing_ = false;
};
