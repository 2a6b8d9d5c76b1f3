#pragma once
// Small enumerations shared by the series, the axes and the chart that owns them.

namespace kelmarin {

// Which of the chart's axes an object is; fixed when the axis is created.
enum class TAxisPlacement { Bottom, Top, Left, Right, Depth };

// The horizontal axis a series uses.
enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };

// The vertical axis a series uses.
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

// How new values are placed in a value list.
enum TChartListOrder : unsigned char { loNone, loAscending, loDescending };

// The mouse button of a press or release on the chart.
enum TMouseButton { mbLeft, mbRight, mbMiddle };

}  // namespace kelmarin
