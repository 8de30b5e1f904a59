#include "device/chart.h"

#include <cmath>

#include "device/chart_box.h"
#include "device/chart_canvas.h"
#include "device/chart_drawing.h"
#include "device/colours.h"
#include "link/device_data.h"
#include "platform/geometry.h"
#include "platform/language_table.h"

namespace {

constexpr int kPressurePanel = 3;
constexpr int kLegendAmplitude = 6602;
constexpr int kLegendSensor = 6603;
constexpr double kKeptSweepSeconds = 60;  // the time axis, 0 to 60 s

double sweep_start(double t) {
    return std::floor(t / kKeptSweepSeconds) * kKeptSweepSeconds;
}

}  // namespace

Chart::Chart(ChartBox& box, Geraetedaten& geraet, const LanguageTable& texts, QObject* parent)
    : QObject(parent), box_(box), geraet_(geraet), texts_(texts) {
    connect(&box_, &ChartBox::double_clicked, this, &Chart::switch_view);
    connect(&box_, &ChartBox::pixel_ratio_changed, this, &Chart::redraw_kept);
}

void Chart::chart_setup() {
    geraet_.laufzeit_reset = true;
    kept_.clear();
    draw_frames();
}

void Chart::draw_frames() {
    setup_size_ = box_.size();
    chart_panels_ = chart_layout(box_.width_twips(), box_.height_twips(), nur_druck_, texts_);
    box_.clear_image(box_.palette().color(QPalette::Window));
    if (box_.image().isNull()) return;  // a box without area has nothing to show
    ChartCanvas canvas(box_.image());
    for (int i = chart_panels_.first; i <= chart_panels_.last; ++i)
        panel_draw_frame(canvas, chart_panels_[i]);
    show_legend();
}

// The middle row carries two curves on one scale, and its amplitude is not the
// value in the box beside it but that value's place between 400 and 1000: the
// legend says which curve is which and what is drawn.
void Chart::show_legend() {
    if (!chart_panels_.has(2)) return box_.set_legend({}, QPoint());
    const ChartPanel& p = chart_panels_[2];
    const QPoint corner(twips(p.plot_right) - 2, twips(p.plot_top) + 2);
    box_.set_legend({{colour_from_int(kChartRed), texts_.lang_text(kLegendAmplitude)},
                     {colour_from_int(kChartPurple), texts_.lang_text(kLegendSensor)}},
                    corner);
}

void Chart::chart_add_points() {
    const Sample s{geraet_.laufzeit,
                   geraet_.o2,
                   amplitude_percent(geraet_.amplitude),
                   double(geraet_.sensor1),
                   double(geraet_.druck),
                   geraet_.phase};
    // Older sweeps are overwritten on the picture: no need to keep them.
    const double oldest = sweep_start(s.t) - kKeptSweepSeconds;
    while (!kept_.empty() && kept_.front().t < oldest) kept_.pop_front();
    kept_.push_back(s);
    draw_sample(s);
}

void Chart::draw_sample(const Sample& s) {
    if (box_.image().isNull()) return;
    const int background = phase_shade(s.phase);
    QRegion damage;
    {
        ChartCanvas canvas(box_.image());
        if (nur_druck_ == 1) {
            panel_add_point(canvas, chart_panels_[kPressurePanel], s.t, s.druck, background);
        } else {
            // Panel 4 shares panel 2's rectangle and strips, so it comes right
            // after it and paints no strip of its own.
            panel_add_point(canvas, chart_panels_[1], s.t, s.o2, background);
            panel_add_point(canvas, chart_panels_[2], s.t, s.amplitude, background);
            panel_add_point(canvas, chart_panels_[4], s.t, s.sensor1, kNoBackground);
            panel_add_point(canvas, chart_panels_[3], s.t, s.druck, background);
        }
        damage = canvas.damage();
    }
    box_.damage(damage);
}

// The kept records drawn again at the new size, the pen starting where the
// oldest of them lies on the time axis, as it did when it drew them.
void Chart::redraw_kept() {
    draw_frames();
    if (kept_.empty()) return;
    const double offset = sweep_start(kept_.front().t);
    for (int i = chart_panels_.first; i <= chart_panels_.last; ++i)
        chart_panels_[i].x_offset = offset;
    for (const Sample& s : kept_) draw_sample(s);
}

void Chart::switch_view() {
    if (nur_druck_ == 1) {
        nur_druck_ = 0;
        emit menu_caption_changed(texts_.lang_text(2));
    } else {
        nur_druck_ = 1;
        emit menu_caption_changed(texts_.lang_text(1));
    }
    chart_setup();
}

void Chart::chart_resized() {
    if (box_.size() != setup_size_) redraw_kept();
}
