// The program's chart (gui/chart): a widget that windows place in their layouts and fill with
// series of (x, y) points. It wraps the charting library so that no window talks to it directly.
//
// Ownership: the chart owns its series (AddSeries returns a pointer that stays valid until
// RemoveSeries, ClearSeries or the chart's end). Threads: the user-interface thread only.
// Changes to series are drawn together when the event loop next runs (or at Refresh), so a run
// that appends one point per generation redraws once per generation, not once per point.
//
// The look in our charts: the back is a vertical gradient from the start colour (top) to the
// end colour (bottom), silver to white at first. The three-dimensional look is an
// approximation: the plot area becomes the front of a box whose top and right faces are drawn
// 10 pixels deep behind it, and the chart casts a drop shadow; series stay flat.
#pragma once

#include "chart/Series.h"
#include "task/ChartData.h"
#include "task/ChartScale.h"

#include <QFont>
#include <QWidget>
#include <memory>
#include <vector>

namespace sarvanta {

enum class TAxisSide { Bottom, Left };

class TChart : public QWidget {
  Q_OBJECT

 public:
  explicit TChart(QWidget* parent = nullptr);
  ~TChart() override;

  TSeries* AddSeries(TSeriesKind kind, const QString& title = QString());
  void RemoveSeries(TSeries* series);
  void ClearSeries();
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TSeries* Series(int index) const;

  QString Title() const { return title_; }
  void SetTitle(const QString& title);
  bool TitleVisible() const { return titleVisible_; }
  void SetTitleVisible(bool visible);
  // The text below the plot, right-aligned in italics ("t [ms]" on the results charts).
  QString Foot() const;
  void SetFoot(const QString& foot);

  QString AxisTitle(TAxisSide side) const;
  void SetAxisTitle(TAxisSide side, const QString& title);
  QFont AxisTitleFont(TAxisSide side) const;
  void SetAxisTitleFont(TAxisSide side, const QFont& font);
  // The left axis title's angle in degrees (kept for the chart-properties dialog; the title is
  // always drawn turned upwards) and its size in pixels (0: the font's own size).
  int LeftTitleAngle() const { return leftTitleAngle_; }
  void SetLeftTitleAngle(int degrees) { leftTitleAngle_ = degrees; }
  int LeftTitleSize() const { return leftTitleSize_; }
  void SetLeftTitleSize(int pixels);
  QColor AxisLabelsColor(TAxisSide side) const;
  void SetAxisLabelsColor(TAxisSide side, const QColor& color);

  // Automatic bounds follow the data of every series (with a margin of nothing); fixed bounds
  // stay as given. The returned axis holds the bounds in force now.
  TChartAxis Axis(TAxisSide side) const;
  void SetAxis(TAxisSide side, const TChartAxis& axis);
  // The bounds that a results page's scale decides (the bottom axis is time, the left values).
  void ApplyScale(const TChartScale& scale);

  bool LegendVisible() const;
  void SetLegendVisible(bool visible);
  bool GradientVisible() const { return gradientVisible_; }
  void SetGradientVisible(bool visible);
  QColor GradientStart() const { return gradientStart_; }
  QColor GradientEnd() const { return gradientEnd_; }
  void SetGradientColors(const QColor& start, const QColor& end);
  bool View3D() const { return view3D_; }
  void SetView3D(bool view3D);

  // The axis values (bottom x, left y) at a position in the widget's coordinates.
  QPointF ValueAt(const QPoint& position) const;

  // The title, the foot, the series' titles and points, for Save Data.
  TChartData Data() const;

  // Writes the chart as it is shown, at the widget's size, as a picture whose type follows the
  // name's suffix: ".svg" a vector picture, ".png", ".jpg" or anything else a bitmap (".bmp"
  // when the suffix names no known type). Throws EFileError when the file cannot be written.
  void SaveImage(const QString& fileName);

  // Draws every pending change of the series and the axes now.
  void Refresh();

  // Called by a series when it changed.
  void SeriesChanged();

 signals:
  void DblClick();
  // The axis values under the mouse as it moves over the chart.
  void MouseValues(double x, double y);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct TParts;
  void ScheduleRefresh();
  void UpdateAxes();
  void UpdateBackground();
  void UpdateTitle();
  void SetDataBounds(TAxisSide side, double& minimum, double& maximum) const;

  std::unique_ptr<TParts> parts_;
  std::vector<std::unique_ptr<TSeries>> series_;
  QString title_;
  bool titleVisible_ = true;
  int leftTitleAngle_ = 0;
  int leftTitleSize_ = 0;
  bool gradientVisible_ = true;
  QColor gradientStart_{192, 192, 192};
  QColor gradientEnd_{255, 255, 255};
  bool view3D_ = false;
  TChartAxis axes_[2];
  bool refreshPending_ = false;
};

}  // namespace sarvanta
