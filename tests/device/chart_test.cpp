// The chart drawn into its persistent image. Pixel positions are twips / 15:
// the tests run at a pixel ratio of 1 unless they make their own image.
#include "device/chart.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QLocale>
#include <QWidget>
#include <cmath>

#include "device/chart_box.h"
#include "device/chart_canvas.h"
#include "device/chart_drawing.h"
#include "link/device_data.h"
#include "platform/language_table.h"
#include "support/locale_guard.h"

namespace {

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kPurple(192, 0, 192), kDarkGreen(0, 128, 0);
const QColor kGrey(128, 128, 128), kWhite(Qt::white), kShade1(240, 240, 240),
    kShade2(224, 224, 224);

int px(double twips) {
    return int(std::lround(twips / 15));
}
// The pixel column of time t in a plot from 750 to 14145 twips.
int col(double t) {
    return px(750 + t * 13395 / 60);
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

class ChartTest : public ::testing::Test {
protected:
    ChartTest() {
        const char* german[] = {"O2 (%)", "Amplitude / Sensor (%)", "Druck (hPa)", "Zeit (s)"};
        for (int i = 0; i < 4; ++i) texts.texts[size_t(3400 + 100 * i)] = german[i];
        texts.texts[3601] = german[3];
        box.setGeometry(12, 264, 953, 349);  // the design size, 14295 × 5235 twips
        chart.chart_setup();
    }

    // One status record at time t.
    void add(double t, double druck, int amplitude = 700, int phase = 0) {
        geraet.laufzeit = t;
        geraet.druck = druck;
        geraet.amplitude = amplitude;
        geraet.phase = quint8(phase);
        geraet.o2 = 80;
        geraet.sensor1 = 90;
        chart.chart_add_points();
    }

    QColor at(int x, int y) const { return box.image().pixelColor(x, y); }
    // Rows of column x, from y1 to y2, in the colour.
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
        int nur_druck, index, top, height, plot_bottom;
    };
    // H = 5235 gives h = 1475; panel 4 shares panel 2's rectangle.
    const Row rows[] = {{0, 1, 60, 1475, 1445},
                        {0, 2, 1655, 1475, 3040},
                        {0, 4, 1655, 1475, 3040},
                        {0, 3, 3250, 1985, 4725},
                        {1, 3, 60, 5115, 4665}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "view " << r.nur_druck << " panel " << r.index);
        if (r.nur_druck != chart.nur_druck()) chart.switch_view();
        ASSERT_TRUE(chart.chart_panels().has(r.index));
        const ChartPanel& p = panel(r.index);
        EXPECT_EQ(
            QVector<int>({p.top, p.height, p.plot_top, p.plot_bottom, p.plot_left, p.plot_right}),
            QVector<int>({r.top, r.height, r.top, r.plot_bottom, 750, 14145}));
        // In the image the plot is white down to its grey x axis.
        EXPECT_EQ(at(col(6), px(r.top)), kWhite);
        EXPECT_EQ(at(col(6), px(r.plot_bottom) - 1), kWhite);
        EXPECT_EQ(at(col(6), px(r.plot_bottom)), kGrey);
        EXPECT_EQ(at(px(750), px(r.plot_bottom) - 3), kGrey);
        EXPECT_NE(at(col(6), px(r.top) - 2), kWhite);
    }
    EXPECT_FALSE(chart.chart_panels().has(1));
    EXPECT_FALSE(chart.chart_panels().has(4));
}

TEST_F(ChartTest, TheSweepWrapsAtTheEdgeValueAndErasesAheadOfThePen) {
    add(0, 1000, 700, 2);
    add(59.6, 1000, 700, 2);
    add(60.4, 1800);  // crosses the right edge with 1400 hPa
    EXPECT_DOUBLE_EQ(panel(3).x_offset, 60);
    EXPECT_NEAR(panel(3).last_x, 0.4, 1e-9);
    // y_scale = 1475 / 2000: 1400 hPa lies 1032.5 twips above the axis.
    const int edge = px(4725 - 1032.5);
    EXPECT_FALSE(rows_of(col(60), kDarkGreen, edge - 1, edge + 1).isEmpty());
    EXPECT_TRUE(rows_of(col(60), kDarkGreen, px(3250), edge - 3).isEmpty());
    EXPECT_FALSE(rows_of(col(0) + 1, kDarkGreen, edge - 4, edge + 1).isEmpty());
    EXPECT_EQ(at(col(0.4) + 1, px(4600)), kWhite);  // the old sweep's shade erased
    EXPECT_EQ(at(col(5), px(4600)), kShade2);

    // A gap of more than a sweep (the device restarted its counter) lands
    // inside the plot; nothing is ever drawn right of it.
    add(210.4, 500);
    EXPECT_DOUBLE_EQ(panel(3).x_offset, 180);
    for (int x = col(60) + 1; x < 953; ++x) EXPECT_TRUE(rows_of(x, kDarkGreen).isEmpty()) << x;

    // A zero time step at the wrap takes the last value as the edge value.
    ChartPanel p = panel(3);
    p.last_x = 61;
    p.last_y = 500;
    ChartCanvas canvas(box.image());
    panel_add_point(canvas, p, p.x_offset + 61, 1500, kChartWhite);
    EXPECT_DOUBLE_EQ(p.last_y, 1500);
    EXPECT_FALSE(
        rows_of(col(60), kDarkGreen, px(4725 - 368.75) - 1, px(4725 - 368.75) + 1).isEmpty());
}

TEST_F(ChartTest, ValuesOutsideTheRangeAreClampedToThePlot) {
    struct Row {
        int amplitude;
        int row;  // of the red line; -1: under the grey x axis
    };
    // Panel 2 spans 1655 to 3040 twips, 13.85 twips per percent.
    const Row rows[] = {
        {1000, px(1655)}, {1300, px(1655)}, {700, px(3040 - 692.5)}, {400, -1}, {100, -1}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(rows[i].amplitude);
        add(5 * i, 0, rows[i].amplitude);
        add(5 * i + 2, 0, rows[i].amplitude);
        const QVector<int> red = rows_of(col(5 * i + 1), kRed);
        EXPECT_EQ(red, rows[i].row < 0 ? QVector<int>() : QVector<int>{rows[i].row});
    }
}

TEST_F(ChartTest, FirstPointDrawsNothingAndSegmentsShadeByPhase) {
    const QImage empty = box.image().copy();
    add(10, 1000, 700, 1);
    EXPECT_EQ(box.image(), empty);

    add(20, 1000, 700, 1);
    for (int row : {px(300), px(2700), px(4600)}) EXPECT_EQ(at(col(15), row), kShade1) << row;
    // Panel 4 paints no strip over panel 2's curve: every curve shows.
    for (const QColor& pen : {kBlue, kRed, kPurple, kDarkGreen})
        EXPECT_FALSE(rows_of(col(15), pen).isEmpty()) << pen.name().toStdString();

    add(30, 1000, 700, 2);
    EXPECT_EQ(at(col(25), px(300)), kShade2);
    add(40, 1000, 700, 3);
    EXPECT_EQ(at(col(35), px(300)), kWhite);
}

TEST_F(ChartTest, LabelsReadFromTheTopAndTimeOnlyUnderTheBottomPanel) {
    LocaleGuard locale(LocaleGuard::german());
    auto labels = [this](int index, bool time) {
        QStringList out;
        const ChartPanel& p = panel(index);
        for (int i = 0; i <= (time ? p.x_divisions : p.y_divisions); ++i)
            out << (time ? x_label(p, i) : y_label(p, i));
        return out.join(' ');
    };
    EXPECT_EQ(labels(1, false), "100 90 80 70 60");
    EXPECT_EQ(labels(2, false), "100 80 60 40 20 0");
    EXPECT_EQ(labels(3, false), "2000 1500 1000 500 0");
    EXPECT_EQ(labels(3, true), "0 5 10 15 20 25 30 35 40 45 50 55 60");
    locale.set(QLocale::c());

    // Dark text pixels under the plots: below the bottom one only.
    auto dark = [this](int y1, int y2) {
        int count = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = col(0); x <= col(60); ++x) count += qGray(box.image().pixel(x, y)) < 100;
        return count;
    };
    EXPECT_EQ(dark(px(1445) + 1, px(1655) - 1), 0);
    EXPECT_EQ(dark(px(3040) + 1, px(3250) - 1), 0);
    EXPECT_GT(dark(px(4725) + 7, 348), 100);
}

TEST_F(ChartTest, TextStaysInsideTheMarginsInGermanAndEnglish) {
    auto dark = [this](int x, int y) { return qGray(box.image().pixel(x, y)) < 160; };
    for (const char* language : {"DE", "EN"}) {
        SCOPED_TRACE(language);
        if (QLatin1String(language) == QLatin1String("EN")) {
            texts.texts[3600] = QStringLiteral("Pressure (hPa)");
            texts.texts[3601] = QStringLiteral("Time (s)");
            chart.chart_setup();
        }
        // Left of each plot, short of the ticks: the rotated caption from the
        // box's edge, a gap, then the labels; the caption within its panel.
        for (int i : {1, 2, 3}) {
            const ChartPanel& p = panel(i);
            const int top = px(p.top), bottom = px(p.top + p.height) - 1;
            const auto columns = bands(0, px(750 - 90) - 1, [&](int x) {
                for (int y = top; y <= bottom; ++y)
                    if (dark(x, y)) return true;
                return false;
            });
            ASSERT_GE(columns.size(), 2) << i;
            EXPECT_LE(columns[0].second - columns[0].first, 16) << i;
            EXPECT_LE(columns.back().second, px(750 - 180)) << i;
            const auto rows = bands(qMax(top - 8, 0), qMin(bottom + 8, 348), [&](int y) {
                for (int x = columns[0].first; x <= columns[0].second; ++x)
                    if (dark(x, y)) return true;
                return false;
            });
            EXPECT_GE(rows.front().first, top) << i;
            EXPECT_LE(rows.back().second, bottom) << i;
        }
        // Below the bottom plot: time labels, a gap, the caption, inside the box.
        const auto rows = bands(px(4725 + 90) + 1, 348, [&](int y) {
            for (int x = 0; x < 953; ++x)
                if (dark(x, y)) return true;
            return false;
        });
        ASSERT_EQ(rows.size(), 2);
        EXPECT_LT(rows[1].second, 348);
    }
}

TEST_F(ChartTest, ShadeStripsMeetWithoutSeamsOnAHighDensityScreen) {
    QImage image(953 * 2, 349 * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    ChartPanel p = chart_layout(14295, 5235, 1, texts)[3];
    {
        ChartCanvas canvas(image);
        for (int i = 0; i <= 20; ++i) panel_add_point(canvas, p, 1 + 0.4 * i, 0, kChartShade2);
    }
    int seams = 0;
    for (int x = 2 * col(1.2); x <= 2 * col(8.8); ++x) seams += image.pixelColor(x, 134) != kShade2;
    EXPECT_EQ(seams, 0);
}

}  // namespace
