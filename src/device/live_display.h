#pragma once

class QPlainTextEdit;
class QWidget;
struct DeviceControls;
struct Geraetedaten;

// The projection of the device data onto the "Gerät" tab: values, valve and
// alarm labels, lamps. Called about ten times a second, so controls whose
// content is already right are left alone. The timing lists are not shown here.
void show_connected(const DeviceControls& c, const Geraetedaten& g);

// Without a device: empties every "t_" box of the whole window but those inside
// `spared` (the technician's protocol entries), whitens the valve and alarm
// labels and hides the serial number's save button.
void show_disconnected(const DeviceControls& c, QWidget* window, const QWidget* spared);
