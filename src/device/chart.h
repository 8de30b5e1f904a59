#pragma once

#include <QObject>
#include <QSize>
#include <deque>

#include "device/chart_panel.h"

class ChartBox;
struct Geraetedaten;
struct LanguageTable;

// The sweeping 60-second chart on the "Gerät" tab: O2, amplitude, sensor
// quality and pressure shaded by the device's phase, or the pressure alone.
// Every status record adds one point per curve; only a set-up redraws all.
class Chart : public QObject {
    Q_OBJECT
public:
    Chart(ChartBox& box, Geraetedaten& geraet, const LanguageTable& texts,
          QObject* parent = nullptr);

    // Rebuilds the panels for the current view and the box's size and draws
    // the empty chart; the time axis restarts at 0 with the next record.
    void chart_setup();
    // One point per curve from the device data.
    void chart_add_points();
    // "Nur Druck" or a double click: the other view.
    void switch_view();
    // The main window laid out the tab. A changed size draws the chart anew at
    // the new size with the curves it showed (a resize or maximising never
    // clears it, nor restarts the time axis); an unchanged one keeps the picture.
    void chart_resized();

    int nur_druck() const { return nur_druck_; }
    const ChartPanels& chart_panels() const { return chart_panels_; }

signals:
    // The caption of the view switch's menu item: what the next switch shows.
    void menu_caption_changed(const QString& caption);

private:
    // One status record as drawn: kept while it may still show on the chart.
    struct Sample {
        double t;
        double o2, amplitude, sensor1, druck;
        int phase;
    };
    void draw_frames();
    void show_legend();
    void draw_sample(const Sample& s);
    void redraw_kept();

    ChartBox& box_;
    Geraetedaten& geraet_;
    const LanguageTable& texts_;
    ChartPanels chart_panels_;
    int nur_druck_ = 0;
    QSize setup_size_;  // the box's size at the last set-up
    // The records of the current sweep and the one before it: all the
    // picture can show.
    std::deque<Sample> kept_;
};
