// The pressure chart drawn into its persistent image: geometry, the sweep and
// its wrap, clamping, shading, labels. Pixel positions are twips / 15 (the
// tests run at a pixel ratio of 1).
#include "device/chart.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QLocale>
#include <QWidget>
#include <cmath>

#include "device/chart_box.h"
#include "device/chart_canvas.h"
#include "device/chart_drawing.h"
#include "device/chart_panel.h"
#include "link/device_data.h"
#include "platform/language_table.h"

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kPurple(192, 0, 192);
const QColor kDarkGreen(0, 128, 0);
const QColor kGrey(128, 128, 128);
const QColor kWhite(255, 255, 255);
const QColor kShade1(240, 240, 240);
const QColor kShade2(224, 224, 224);

int px(double twips) {
    return int(std::lround(twips / 15));
}

class ChartTest : public ::testing::Test {
protected:
    ChartTest() {
        texts.texts[1] = QStringLiteral("Alle Kurven");
        texts.texts[2] = QStringLiteral("Nur Druck");
        texts.texts[3400] = QStringLiteral("O2 (%)");
        texts.texts[3500] = QStringLiteral("Amplitude / Sensor (%)");
        texts.texts[3600] = QStringLiteral("Druck (hPa)");
        texts.texts[3601] = QStringLiteral("Zeit (s)");
        // The picture box at its design size: 14295 × 5235 twips.
        box.setGeometry(12, 264, 953, 349);
        chart.chart_setup();
    }

    // One status record's worth of points at time t.
    void add(double t, double druck, int amplitude = 700, int phase = 0, double o2 = 80,
             int sensor1 = 90) {
        geraet.laufzeit = t;
        geraet.druck = druck;
        geraet.amplitude = amplitude;
        geraet.phase = quint8(phase);
        geraet.o2 = o2;
        geraet.sensor1 = quint8(sensor1);
        chart.chart_add_points();
    }

    QColor at(int x, int y) const { return box.image().pixelColor(x, y); }

    // Rows of column x, between y1 and y2, that carry the colour.
    QVector<int> rows_of(int x, const QColor& colour, int y1 = 0, int y2 = 348) const {
        QVector<int> rows;
        for (int y = y1; y <= y2; ++y)
            if (at(x, y) == colour) rows.append(y);
        return rows;
    }

    const ChartPanel& panel(int i) const { return chart.chart_panels()[i]; }

    LanguageTable texts;
    Geraetedaten geraet;
    QWidget window;
    ChartBox box{&window};
    Chart chart{box, geraet, texts};
};

TEST_F(ChartTest, PanelsFillTheBoxInBothViews) {
    struct Row {
        int nur_druck, index, top, height, plot_top, plot_bottom;
    };
    // H = 5235: h = (5235 − 810) / 3 = 1475.
    const Row rows[] = {
        {0, 1, 60, 1475, 60, 1445},     {0, 2, 1655, 1475, 1655, 3040},
        {0, 3, 3250, 1985, 3250, 4725}, {0, 4, 1655, 1475, 1655, 3040},
        {1, 3, 60, 5115, 60, 4665},
    };
    for (const Row& r : rows) {
        const ChartPanels panels = chart_layout(14295, 5235, r.nur_druck, texts);
        SCOPED_TRACE(testing::Message() << "view " << r.nur_druck << " panel " << r.index);
        ASSERT_TRUE(panels.has(r.index));
        const ChartPanel& p = panels[r.index];
        EXPECT_EQ(p.top, r.top);
        EXPECT_EQ(p.height, r.height);
        EXPECT_EQ(p.plot_top, r.plot_top);
        EXPECT_EQ(p.plot_bottom, r.plot_bottom);
        EXPECT_EQ(p.plot_left, 750);
        EXPECT_EQ(p.plot_right, 14145);
        EXPECT_DOUBLE_EQ(p.x_scale, 13395 / 60.0);
        EXPECT_TRUE(p.first_point);
    }
    EXPECT_EQ(chart_layout(14295, 5235, 0, texts)[3].top + 1985, 5235);
    const ChartPanels pressure = chart_layout(14295, 5235, 1, texts);
    EXPECT_FALSE(pressure.has(1));
    EXPECT_FALSE(pressure.has(4));
    EXPECT_EQ(pressure[3].colour, kChartDarkGreen);

    // In the image: each plot is white down to its grey x axis.
    for (const Row& r : rows) {
        if (r.nur_druck != chart.nur_druck()) chart.switch_view();
        SCOPED_TRACE(testing::Message() << "view " << r.nur_druck << " panel " << r.index);
        const int x = px(750) + 40;
        EXPECT_EQ(at(x, px(r.plot_top)), kWhite);
        EXPECT_EQ(at(x, px(r.plot_bottom) - 1), kWhite);
        EXPECT_EQ(at(x, px(r.plot_bottom)), kGrey);
        EXPECT_EQ(at(px(750), (px(r.plot_top) + px(r.plot_bottom)) / 2), kGrey);  // y axis
        EXPECT_NE(at(x, px(r.plot_top) - 2), kWhite);  // the gap above the plot
    }
}

TEST_F(ChartTest, TheSweepWrapsAtTheRightEdgeAtTheCrossingValue) {
    add(0, 1000, 700, 2);
    add(59.6, 1000, 700, 2);
    add(60.4, 1800);  // crosses the edge at 60 s with 1400 hPa
    const ChartPanel& p = panel(3);
    EXPECT_DOUBLE_EQ(p.x_offset, 60);
    EXPECT_NEAR(p.last_x, 0.4, 1e-9);
    EXPECT_DOUBLE_EQ(p.last_y, 1800);

    // y_scale = 1475 / 2000: 1400 hPa is at 4725 − 1032.5 twips.
    const int edge_row = px(qRound(4725 - 1400 * 0.7375));
    EXPECT_FALSE(rows_of(px(14145), kDarkGreen, edge_row - 1, edge_row + 1).isEmpty());
    EXPECT_TRUE(rows_of(px(14145), kDarkGreen, px(3250), edge_row - 3).isEmpty());
    // The next segment starts at the left edge at the same value.
    EXPECT_FALSE(rows_of(px(750) + 1, kDarkGreen, edge_row - 4, edge_row + 1).isEmpty());
    // The white strip ahead of the pen erases the old sweep's shade.
    EXPECT_EQ(at(px(750 + 0.4 * 13395 / 60) + 1, px(4600)), kWhite);
    EXPECT_EQ(at(px(750 + 5 * 13395 / 60), px(4600)), kShade2);
    // Nothing is drawn right of the plot.
    for (int x = px(14145) + 1; x < box.image().width(); ++x)
        EXPECT_TRUE(rows_of(x, kDarkGreen).isEmpty()) << x;

    // A gap of more than a whole sweep still lands inside the plot.
    add(60 + 150, 500);
    EXPECT_DOUBLE_EQ(panel(3).x_offset, 180);
    EXPECT_DOUBLE_EQ(panel(3).last_x, 30);
    for (int x = px(14145) + 1; x < box.image().width(); ++x)
        EXPECT_TRUE(rows_of(x, kDarkGreen).isEmpty()) << x;
}

TEST_F(ChartTest, AZeroTimeStepAtTheWrapKeepsTheValue) {
    chart.switch_view();
    ChartPanel p = chart_layout(14295, 5235, 1, texts)[3];
    p.first_point = false;
    p.last_x = 61;
    p.last_y = 500;
    {
        ChartCanvas canvas(box.image());
        panel_add_point(canvas, p, 61, 1500, kChartWhite);
    }
    EXPECT_DOUBLE_EQ(p.x_offset, 60);
    EXPECT_DOUBLE_EQ(p.last_x, 1);
    EXPECT_DOUBLE_EQ(p.last_y, 1500);
    // The edge value is the last one: 500 hPa, drawn into the pressure-only
    // plot (y_scale = 4605 / 2000).
    const int edge_row = px(qRound(4665 - 500 * 4605 / 2000.0));
    EXPECT_FALSE(rows_of(px(14145), kDarkGreen, edge_row - 1, edge_row + 1).isEmpty());
}

TEST_F(ChartTest, ValuesOutsideTheRangeAreClampedToThePlot) {
    struct Row {
        int amplitude;
        int row;  // where the red line lies; -1: under the grey x axis
    };
    // Panel 2 spans 1655 to 3040 twips.
    const Row rows[] = {{1000, px(1655)},
                        {1300, px(1655)},
                        {700, px(qRound(3040 - 50 * 13.85))},
                        {400, -1},
                        {100, -1}};
    double t = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.amplitude);
        add(t, 0, r.amplitude);
        add(t + 2, 0, r.amplitude);
        const int x = px(750 + (t + 1) * 13395 / 60.0);
        const QVector<int> red = rows_of(x, kRed);
        if (r.row < 0) {
            EXPECT_TRUE(red.isEmpty()) << red.value(0);
            EXPECT_EQ(at(x, px(3040)), kGrey);
        } else {
            EXPECT_EQ(red, QVector<int>{r.row});
        }
        t += 5;
    }
}

TEST_F(ChartTest, FirstPointDrawsNothingAndSegmentsShadeByPhase) {
    const QImage empty = box.image().copy();
    add(10, 1000, 700, 1);
    EXPECT_EQ(box.image(), empty);

    add(20, 1000, 700, 1);
    const int x = px(750 + 15 * 13395 / 60.0);  // 15 s, inside the segment
    struct Row {
        int panel, row;
    };
    // Rows away from the curves in panels 1, 2 (shared with 4) and 3.
    for (const Row& r : {Row{1, px(300)}, Row{2, px(2700)}, Row{3, px(4600)}}) {
        SCOPED_TRACE(r.panel);
        EXPECT_EQ(at(x, r.row), kShade1);
    }
    // Panel 4 paints no strip over panel 2's curve: both curves show.
    EXPECT_FALSE(rows_of(x, kRed).isEmpty());
    EXPECT_FALSE(rows_of(x, kPurple).isEmpty());
    EXPECT_FALSE(rows_of(x, kBlue).isEmpty());
    EXPECT_FALSE(rows_of(x, kDarkGreen).isEmpty());

    // Phase 2 shades darker, any other phase not at all.
    add(30, 1000, 700, 2);
    EXPECT_EQ(at(px(750 + 25 * 13395 / 60.0), px(300)), kShade2);
    add(40, 1000, 700, 3);
    EXPECT_EQ(at(px(750 + 35 * 13395 / 60.0), px(300)), kWhite);
}

TEST_F(ChartTest, ShadeStripsMeetWithoutSeamsOnAHighDensityScreen) {
    // Twice the pixels per twip: the strips of consecutive segments must still
    // cover every device pixel between the first and the last point.
    QImage image(953 * 2, 349 * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    ChartPanel p = chart_layout(14295, 5235, 1, texts)[3];
    {
        ChartCanvas canvas(image);
        for (int i = 0; i <= 20; ++i) panel_add_point(canvas, p, 1 + 0.4 * i, 0, kChartShade2);
    }
    const int row = 2 * px(1000);
    const QVector<int> seams = [&] {
        QVector<int> out;
        for (int x = 2 * px(750 + 1.2 * 13395 / 60); x <= 2 * px(750 + 8.8 * 13395 / 60); ++x)
            if (image.pixelColor(x, row) != kShade2) out.append(x);
        return out;
    }();
    EXPECT_TRUE(seams.isEmpty()) << seams.size() << " columns, first " << seams.value(0);
}

TEST_F(ChartTest, LabelsReadFromTheTopAndTimeOnlyUnderTheBottomPanel) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const ChartPanels full = chart_layout(14295, 5235, 0, texts);
    struct Row {
        int panel;
        QStringList labels;
    };
    const Row rows[] = {{1, {"100", "90", "80", "70", "60"}},
                        {2, {"100", "80", "60", "40", "20", "0"}},
                        {3, {"2000", "1500", "1000", "500", "0"}}};
    for (const Row& r : rows) {
        QStringList labels;
        for (int i = 0; i <= full[r.panel].y_divisions; ++i) labels << y_label(full[r.panel], i);
        EXPECT_EQ(labels, r.labels);
    }
    QStringList times;
    for (int i = 0; i <= 12; ++i) times << x_label(full[3], i);
    EXPECT_EQ(times.join(' '), "0 5 10 15 20 25 30 35 40 45 50 55 60");
    QLocale::setDefault(QLocale::c());

    // Text pixels in the image: dark ones below the bottom panel's axis only.
    auto dark_rows = [this](int y1, int y2) {
        int count = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = px(750); x <= px(14145); ++x)
                count += qGray(box.image().pixel(x, y)) < 100;
        return count;
    };
    EXPECT_EQ(dark_rows(px(1445) + 1, px(1655) - 1), 0);
    EXPECT_EQ(dark_rows(px(3040) + 1, px(3250) - 1), 0);
    EXPECT_GT(dark_rows(px(4725) + 7, px(5235) - 1), 100);
}

// Runs of consecutive indices in [from, to] for which `ink` holds.
template <typename F>
QVector<QPair<int, int>> bands(int from, int to, F ink) {
    QVector<QPair<int, int>> out;
    for (int i = from; i <= to; ++i) {
        if (!ink(i)) continue;
        if (!out.isEmpty() && out.back().second == i - 1)
            out.back().second = i;
        else
            out.append({i, i});
    }
    return out;
}

TEST_F(ChartTest, TextStaysInsideTheMarginsInGermanAndEnglish) {
    const QStringList english = {"O2 (%)", "Amplitude / Sensor (%)", "Pressure (hPa)", "Time (s)"};
    for (int language = 0; language < 2; ++language) {
        if (language == 1) {
            for (int i = 0; i < 4; ++i) texts.texts[size_t(3400 + 100 * i)] = english[i];
            texts.texts[3601] = english[3];
            chart.chart_setup();
        }
        SCOPED_TRACE(language);
        auto dark = [this](int x, int y) { return qGray(box.image().pixel(x, y)) < 160; };
        // Left of each plot, short of the ticks: the rotated caption from the
        // box's edge, a gap, then the labels, all within the panel's height.
        for (int i : {1, 2, 3}) {
            const ChartPanel& p = panel(i);
            const int top = px(p.top), bottom = px(p.top + p.height) - 1;
            const auto columns = bands(0, px(p.plot_left - 90) - 1, [&](int x) {
                for (int y = top; y <= bottom; ++y)
                    if (dark(x, y)) return true;
                return false;
            });
            // A label may show a gap of its own ("1 00").
            ASSERT_GE(columns.size(), 2) << "panel " << i;
            EXPECT_LE(columns[0].second - columns[0].first, 16) << "panel " << i;
            EXPECT_LE(columns.back().second, px(p.plot_left - 180)) << "panel " << i;
            // Nothing of it in the gaps of 120 twips around the panel.
            const auto caption_rows = bands(qMax(top - 8, 0), qMin(bottom + 8, 348), [&](int y) {
                for (int x = columns[0].first; x <= columns[0].second; ++x)
                    if (dark(x, y)) return true;
                return false;
            });
            ASSERT_FALSE(caption_rows.isEmpty()) << "panel " << i;
            EXPECT_GE(caption_rows.front().first, top) << "panel " << i;
            EXPECT_LE(caption_rows.back().second, bottom) << "panel " << i;
        }
        // Below the bottom plot: the time labels, a gap, the caption, and all of
        // it inside the box.
        const auto rows = bands(px(4725 + 90) + 1, 348, [&](int y) {
            for (int x = 0; x < 953; ++x)
                if (dark(x, y)) return true;
            return false;
        });
        ASSERT_EQ(rows.size(), 2);
        EXPECT_LT(rows[1].second, 348);
    }
}

TEST_F(ChartTest, SwitchingTheViewTwiceEndsInTheFullView) {
    QStringList captions;
    QObject::connect(&chart, &Chart::menu_caption_changed,
                     [&](const QString& caption) { captions << caption; });
    for (int i = 0; i < 4; ++i) chart.switch_view();
    EXPECT_EQ(captions, QStringList({"Alle Kurven", "Nur Druck", "Alle Kurven", "Nur Druck"}));
    EXPECT_EQ(chart.nur_druck(), 0);
    EXPECT_TRUE(chart.chart_panels().has(1));
    EXPECT_TRUE(geraet.laufzeit_reset);
}

}  // namespace
