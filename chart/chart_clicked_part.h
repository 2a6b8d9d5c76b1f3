#pragma once
// What lies under a pixel of the chart, as the mouse handling asks it: the kind of part and,
// for a series or an axis, which one. It is an answer only; finding it is the chart's job.

namespace kelmarin {

class TChartAxis;
class TChartSeries;

enum TChartClickedPartStyle { cpNone, cpLegend, cpAxis, cpSeries, cpTitle, cpFoot, cpChartRect };

struct TChartClickedPart {
    TChartClickedPartStyle Part = cpNone;
    TChartSeries* ASeries = nullptr;
    TChartAxis* AAxis = nullptr;
    // The point of ASeries whose marker or incoming line was hit.
    int PointIndex = -1;
};

}  // namespace kelmarin
