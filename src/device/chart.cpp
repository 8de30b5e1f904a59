#include "device/chart.h"

#include "device/chart_box.h"
#include "device/chart_canvas.h"
#include "device/chart_drawing.h"
#include "link/device_data.h"
#include "platform/language_table.h"

namespace {

constexpr int kPressurePanel = 3;

}  // namespace

Chart::Chart(ChartBox& box, Geraetedaten& geraet, const LanguageTable& texts, QObject* parent)
    : QObject(parent), box_(box), geraet_(geraet), texts_(texts) {
    connect(&box_, &ChartBox::double_clicked, this, &Chart::switch_view);
    connect(&box_, &ChartBox::pixel_ratio_changed, this, &Chart::chart_setup);
}

void Chart::chart_setup() {
    geraet_.laufzeit_reset = true;
    setup_size_ = box_.size();
    chart_panels_ = chart_layout(box_.width_twips(), box_.height_twips(), nur_druck_, texts_);
    box_.clear_image(box_.palette().color(QPalette::Window));
    if (box_.image().isNull()) return;  // a box without area has nothing to show
    ChartCanvas canvas(box_.image());
    for (int i = chart_panels_.first; i <= chart_panels_.last; ++i)
        panel_draw_frame(canvas, chart_panels_[i]);
}

void Chart::chart_add_points() {
    if (box_.image().isNull()) return;
    const int background = phase_shade(geraet_.phase);
    const double t = geraet_.laufzeit;
    QRegion damage;
    {
        ChartCanvas canvas(box_.image());
        if (nur_druck_ == 1) {
            panel_add_point(canvas, chart_panels_[kPressurePanel], t, geraet_.druck, background);
        } else {
            // Panel 4 shares panel 2's rectangle and strips, so it comes right
            // after it and paints no strip of its own.
            panel_add_point(canvas, chart_panels_[1], t, geraet_.o2, background);
            panel_add_point(canvas, chart_panels_[2], t, amplitude_percent(geraet_.amplitude),
                            background);
            panel_add_point(canvas, chart_panels_[4], t, geraet_.sensor1, kNoBackground);
            panel_add_point(canvas, chart_panels_[3], t, geraet_.druck, background);
        }
        damage = canvas.damage();
    }
    box_.damage(damage);
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
    if (box_.size() != setup_size_) chart_setup();
}
