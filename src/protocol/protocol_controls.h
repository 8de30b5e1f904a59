#pragma once

#include <array>

#include "protocol/protocol_record.h"

class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The controls of the protocol form, all inside the frame frm_protokoll, so
// that disabling the frame makes every one of them unusable. Each carries its
// design name as objectName and, where it has one, its text id as "textId".
struct ProtocolControls {
    QGroupBox* frm_protokoll = nullptr;
    QPushButton* cmd_print = nullptr;
    QPushButton* cmd_open = nullptr;
    QPushButton* cmd_save = nullptr;
    QPushButton* cmd_new = nullptr;
    PictureBox* p_geraetedaten = nullptr;

    QLineEdit* t_krankenkasse = nullptr;
    QLineEdit* t_patient = nullptr;
    QLineEdit* t_strasse = nullptr;
    QLineEdit* t_Ort = nullptr;
    QLineEdit* t_Telefon = nullptr;
    QLineEdit* t_pruefer = nullptr;
    QLineEdit* t_Datum = nullptr;
    QLineEdit* t_Uhrzeit = nullptr;
    QPlainTextEdit* t_bemerkungen = nullptr;
    QPlainTextEdit* t_zubehoer = nullptr;

    QCheckBox* ck_Selbsttest = nullptr;
    QCheckBox* ck_Ansaugtest = nullptr;
    QCheckBox* ck_maxflow = nullptr;
    QCheckBox* ck_minflow = nullptr;
    QCheckBox* ck_visuell = nullptr;
    QCheckBox* ck_Leistung = nullptr;  // part of the record, never shown
    QCheckBox* ck_Typenschild = nullptr;
    QCheckBox* ck_stk = nullptr;

    QLabel* lbl_geraetedaten = nullptr;
    QLabel* lbl_Funktionstest = nullptr;
    QLabel* lbl_Hersteller = nullptr;
    QLabel* lbl_stk = nullptr;
    // Room left in the box being edited, and characters the file cannot hold.
    QLabel* lbl_hinweis = nullptr;

    // The control of each protocol entry, by the index of feldnamen.
    std::array<QWidget*, kFeldCount + 1> feld{};
};

// Single-line boxes take this many characters, the two multi-line boxes
// kMultiLineLimit (a line break counting two, as it is stored).
constexpr int kLineLimit = 25;
constexpr int kMultiLineLimit = 240;

// Builds every control of the form into `frame`, in the tab order top to
// bottom, and finds each entry's control by its name.
ProtocolControls build_protocol_controls(QGroupBox* frame);
