#pragma once

#include <QObject>

#include "protocol/protocol_controls.h"
#include "protocol/protocol_file.h"

class QGroupBox;
class QPlainTextEdit;

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
    // While there are unsaved changes: OK saves (and asks again unless that
    // worked), Cancel throws the changes away.
    void checksaved();

    // A tab of the main window was chosen by the technician.
    void tab_clicked(int index);
    // The poll cycle found the device again. A protocol with unsaved changes
    // stays as it is, with its own device data; otherwise a fresh one starts.
    void device_reopened();

    bool save_protocol();
    bool open_protocol();

signals:
    void print_requested();

private:
    void wire();
    void changed();
    void limit_notes(QPlainTextEdit* box);
    void draw_geraetedaten();

    Parts p_;
    ProtocolControls c_;
    bool limiting_ = false;  // trimming a multi-line box to its limit
};
