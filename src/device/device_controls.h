#pragma once

#include <array>

class ChartBox;
class Lamp;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls of the "Gerät" tab. They belong to the page they are built on;
// each carries its design name as objectName and, where it has one, its text
// id as the property "textId".
struct DeviceControls {
    // Identity and live values, each with its caption label as buddy.
    QLineEdit* t_sn = nullptr;
    QLineEdit* t_lp = nullptr;
    QLineEdit* t_bstd = nullptr;
    QLineEdit* t_sw = nullptr;
    QLineEdit* t_o2 = nullptr;
    QLineEdit* t_mwO2 = nullptr;
    QLineEdit* t_druck = nullptr;
    QLineEdit* t_sensor1 = nullptr;
    QLineEdit* t_spannung = nullptr;
    QLineEdit* t_gastemp = nullptr;
    QLineEdit* t_kompressortemp = nullptr;
    QLineEdit* t_Amplitude = nullptr;
    QLineEdit* t_c = nullptr;

    QPushButton* cmd_setsn = nullptr;
    QPushButton* cmd_resetbstd = nullptr;
    QPushButton* cmd_setbstd = nullptr;

    QGroupBox* frmPhase = nullptr;
    QLabel* lbl_Phase = nullptr;
    QLabel* lbl_VentilE1 = nullptr;
    QLabel* lbl_VentilE2 = nullptr;
    QLabel* lbl_VentilA1 = nullptr;
    QLabel* lbl_VentilA2 = nullptr;

    QGroupBox* frmZeiten = nullptr;
    std::array<QLabel*, 7> lbl_t{};
    std::array<QComboBox*, 7> cb_t{};
    QPushButton* cmd_t_reset = nullptr;
    QLabel* lblgr2l = nullptr;

    QGroupBox* frmAlarme = nullptr;
    QLabel* lbl_Alarmlow = nullptr;
    QLabel* lbl_Alarmmid = nullptr;
    QLabel* lbl_Alarmhigh = nullptr;
    QLabel* lbl_AlarmT = nullptr;
    QLabel* lbl_AlarmO21 = nullptr;
    QLabel* lbl_AlarmO22 = nullptr;
    QLabel* lbl_AlarmDruck = nullptr;
    QLabel* lbl_AlarmNetz = nullptr;
    QLabel* lbl_AlarmSens = nullptr;
    QLabel* lbl_AlarmTempSensor = nullptr;
    Lamp* Sh_Temp = nullptr;
    Lamp* Sh_Druck = nullptr;
    Lamp* Sh_O2ok = nullptr;
    Lamp* sh_o2Fehler = nullptr;
    Lamp* sh_Technik = nullptr;

    // Whether the device is connected, or what the link is trying.
    QLabel* lbl_verbindung = nullptr;

    // The pressure chart's picture box; drawn by the chart.
    ChartBox* Chart = nullptr;
};

// Creates every control of the tab on `page` at its design position.
DeviceControls build_device_controls(QWidget* page);
