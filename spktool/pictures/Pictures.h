// The chart as pictures: an SVG picture or a 24-bit Windows bitmap, the designs' title
// lines on top in their curves' colours and the chart painted below them through the
// chart's one painter interface, as the graph window paints it with GDI.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "chart/Chart.h"

// The frame's, the grid's and the labels' colour.
constexpr ChartColour BLACK = {0, 0, 0};

// Paints the chart below the title lines.
using Paint = std::function<void(ChartPainter&)>;

// A design's title line (UTF-8) in the colour of its curve.
struct PictureTitle {
    std::string text;
    ChartColour colour;
};

// The picture of `width` x `height` pixels of chart under one title line per design
// (at most three). `dashed` draws the curves after the first dashed, so that one
// beneath shows through; the level chart is drawn solid, as the graph window draws it.
std::string SvgPicture(const std::vector<PictureTitle>& titles, int width, int height,
                       const Paint& paint, bool dashed);
std::string BitmapPicture(const std::vector<PictureTitle>& titles, int width, int height,
                          const Paint& paint);

// `svg`, a plot of SvgPicture's against frequency, with a dashed vertical line at `hz`
// across its frame and `label` beside its foot, under a level chart's curves: a
// frequency the curves do not show, as a port's pipe resonance. Unchanged for a
// frequency off the axis (1 to HIGHEST_HZ) or a picture without a frame.
std::string MarkFrequency(const std::string& svg, double hz, const std::string& label);
