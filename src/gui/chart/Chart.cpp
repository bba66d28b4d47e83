#include "chart/Chart.h"

#include "base/Exception.h"
#include "chart/ChartDrawing.h"
#include "chart/ChartView.h"

#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

namespace sarvanta {

namespace {

constexpr int BoxDepth = 10;

int SideIndex(TAxisSide side) { return side == TAxisSide::Bottom ? 0 : 1; }

// A tick interval of 1, 2 or 5 times a power of ten that gives five to ten ticks.
double NiceInterval(double range) {
  if (!(range > 0) || !std::isfinite(range)) return 1;
  const double raw = range / 6;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0})
    if (factor * magnitude >= raw) return factor * magnitude;
  return 10 * magnitude;
}

}  // namespace

struct TChart::TParts {
  QChart* Chart = nullptr;  // owned by the view
  TChartView* View = nullptr;
  QValueAxis* Axes[2] = {nullptr, nullptr};  // owned by the chart
  QGraphicsSimpleTextItem* Foot = nullptr;   // owned by the chart
  std::vector<QAbstractSeries*> Drawn;       // owned by the chart, parallel to series_
};

TChart::TChart(QWidget* parent) : QWidget(parent), parts_(std::make_unique<TParts>()) {
  TParts& p = *parts_;
  p.Chart = new QChart;
  p.Chart->setBackgroundRoundness(0);
  p.Chart->legend()->setVisible(false);
  p.Chart->setAnimationOptions(QChart::NoAnimation);
  // The back fills the whole widget; the title stands out above the plot.
  p.Chart->layout()->setContentsMargins(0, 0, 0, 0);
  QFont titleFont = font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
  p.Chart->setTitleFont(titleFont);
  p.View = new TChartView(p.Chart, this);
  p.View->OnDblClick = [this] { emit DblClick(); };
  p.View->OnMouseMove = [this](const QPoint& position) {
    const QPointF value = ValueAt(position);
    emit MouseValues(value.x(), value.y());
  };
  p.View->OnResize = [this] { UpdateTitle(); };
  const Qt::Alignment alignments[2] = {Qt::AlignBottom, Qt::AlignLeft};
  for (int i = 0; i < 2; ++i) {
    auto* axis = new QValueAxis;
    axis->setLabelFormat("%.6g");
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setMinorTickCount(i == 1 ? 4 : 0);
    axis->setGridLinePen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
    axis->setMinorGridLineVisible(false);
    p.Chart->addAxis(axis, alignments[i]);
    p.Axes[i] = axis;
  }
  p.Foot = new QGraphicsSimpleTextItem(p.Chart);
  QFont footFont = font();
  footFont.setItalic(true);
  p.Foot->setFont(footFont);
  setMinimumSize(160, 120);
  UpdateBackground();
  UpdateTitle();
  UpdateAxes();
}

TChart::~TChart() = default;

TSeries* TChart::AddSeries(TSeriesKind kind, const QString& title) {
  series_.push_back(std::make_unique<TSeries>(this, kind));
  TSeries* series = series_.back().get();
  series->SetTitle(title);
  QAbstractSeries* drawn = CreateDrawnSeries(kind);
  parts_->Chart->addSeries(drawn);
  if (kind != TSeriesKind::Pie) {
    drawn->attachAxis(parts_->Axes[0]);
    drawn->attachAxis(parts_->Axes[1]);
  }
  parts_->Drawn.push_back(drawn);
  ScheduleRefresh();
  return series;
}

void TChart::RemoveSeries(TSeries* series) {
  for (size_t i = 0; i < series_.size(); ++i) {
    if (series_[i].get() != series) continue;
    parts_->Chart->removeSeries(parts_->Drawn[i]);
    delete parts_->Drawn[i];
    parts_->Drawn.erase(parts_->Drawn.begin() + static_cast<std::ptrdiff_t>(i));
    series_.erase(series_.begin() + static_cast<std::ptrdiff_t>(i));
    ScheduleRefresh();
    return;
  }
}

void TChart::ClearSeries() {
  while (!series_.empty()) RemoveSeries(series_.back().get());
}

TSeries* TChart::Series(int index) const {
  if (index < 0 || index >= SeriesCount()) return nullptr;
  return series_[static_cast<size_t>(index)].get();
}

void TChart::SetTitle(const QString& title) {
  title_ = title;
  UpdateTitle();
}

void TChart::SetTitleVisible(bool visible) {
  titleVisible_ = visible;
  UpdateTitle();
}

QString TChart::Foot() const { return parts_->Foot->text(); }

void TChart::SetFoot(const QString& foot) {
  parts_->Foot->setText(foot);
  UpdateTitle();
}

void TChart::UpdateTitle() {
  TParts& p = *parts_;
  p.Chart->setTitle(titleVisible_ ? title_ : QString());
  // The foot sits in the chart's bottom margin, right-aligned.
  const QRectF box = p.Foot->boundingRect();
  const int footHeight = p.Foot->text().isEmpty() ? 0 : static_cast<int>(box.height()) + 2;
  p.Chart->setMargins(QMargins(4, 4, 4 + BoxDepth, 2 + footHeight));
  const QSizeF size = p.Chart->size();
  p.Foot->setPos(size.width() - box.width() - 8, size.height() - box.height() - 3);
}

QString TChart::AxisTitle(TAxisSide side) const {
  return parts_->Axes[SideIndex(side)]->titleText();
}

void TChart::SetAxisTitle(TAxisSide side, const QString& title) {
  parts_->Axes[SideIndex(side)]->setTitleText(title);
}

QFont TChart::AxisTitleFont(TAxisSide side) const {
  return parts_->Axes[SideIndex(side)]->titleFont();
}

void TChart::SetAxisTitleFont(TAxisSide side, const QFont& font) {
  QFont sized = font;
  if (side == TAxisSide::Left && leftTitleSize_ > 0) sized.setPixelSize(leftTitleSize_);
  parts_->Axes[SideIndex(side)]->setTitleFont(sized);
}

void TChart::SetLeftTitleSize(int pixels) {
  leftTitleSize_ = std::max(pixels, 0);
  if (leftTitleSize_ > 0) SetAxisTitleFont(TAxisSide::Left, AxisTitleFont(TAxisSide::Left));
}

QColor TChart::AxisLabelsColor(TAxisSide side) const {
  return parts_->Axes[SideIndex(side)]->labelsColor();
}

void TChart::SetAxisLabelsColor(TAxisSide side, const QColor& color) {
  parts_->Axes[SideIndex(side)]->setLabelsColor(color);
}

void TChart::SetDataBounds(TAxisSide side, double& minimum, double& maximum) const {
  bool any = false;
  auto take = [&](double value) {
    if (!std::isfinite(value)) return;
    minimum = any ? std::min(minimum, value) : value;
    maximum = any ? std::max(maximum, value) : value;
    any = true;
  };
  for (const auto& series : series_) {
    const TSeriesKind kind = series->Kind();
    if (kind == TSeriesKind::Pie || series->Points().empty()) continue;
    // Areas stand on the zero line of their value axis (bars' outlines hold it).
    const bool fromZero = side == TAxisSide::Left && kind == TSeriesKind::Area;
    if (fromZero) take(0);
    // Bars are as wide as their outline: the first and the last bar are shown whole.
    const bool bars = kind == TSeriesKind::Bar || kind == TSeriesKind::HorizBar;
    const std::vector<QPointF> points =
        bars ? BarOutline(series->Points(), kind == TSeriesKind::HorizBar) : series->Points();
    for (const QPointF& point : points) take(side == TAxisSide::Bottom ? point.x() : point.y());
  }
  if (!any) {
    minimum = 0;
    maximum = 1;
  }
}

TChartAxis TChart::Axis(TAxisSide side) const {
  TChartAxis axis = axes_[SideIndex(side)];
  double dataMin = 0;
  double dataMax = 0;
  SetDataBounds(side, dataMin, dataMax);
  if (axis.AutomaticMinimum && axis.AutomaticMaximum && dataMin == dataMax) {
    dataMin -= 1;
    dataMax += 1;
  }
  if (axis.AutomaticMinimum) axis.Minimum = dataMin;
  if (axis.AutomaticMaximum) axis.Maximum = dataMax;
  // One automatic bound never crosses the fixed one.
  if (axis.Minimum >= axis.Maximum) {
    if (axis.AutomaticMinimum)
      axis.Minimum = axis.Maximum - 1;
    else if (axis.AutomaticMaximum)
      axis.Maximum = axis.Minimum + 1;
  }
  return axis;
}

void TChart::SetAxis(TAxisSide side, const TChartAxis& axis) {
  axes_[SideIndex(side)] = axis;
  ScheduleRefresh();
}

void TChart::ApplyScale(const TChartScale& scale) {
  TChartAxis time = Axis(TAxisSide::Bottom);
  TChartAxis value = Axis(TAxisSide::Left);
  ApplyChartScale(scale, time, value);
  SetAxis(TAxisSide::Bottom, time);
  SetAxis(TAxisSide::Left, value);
}

void TChart::UpdateAxes() {
  for (TAxisSide side : {TAxisSide::Bottom, TAxisSide::Left}) {
    const TChartAxis axis = Axis(side);
    double minimum = static_cast<double>(axis.Minimum);
    double maximum = static_cast<double>(axis.Maximum);
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || minimum >= maximum) {
      // A fixed range that is empty or reversed: the charting library cannot show it.
      maximum = (std::isfinite(minimum) ? minimum : 0) + 1;
      minimum = maximum - 2;
    }
    QValueAxis* drawn = parts_->Axes[SideIndex(side)];
    drawn->setRange(minimum, maximum);
    drawn->setTickInterval(NiceInterval(maximum - minimum));
  }
}

bool TChart::LegendVisible() const { return parts_->Chart->legend()->isVisible(); }

void TChart::SetLegendVisible(bool visible) { parts_->Chart->legend()->setVisible(visible); }

void TChart::SetGradientVisible(bool visible) {
  gradientVisible_ = visible;
  UpdateBackground();
}

void TChart::SetGradientColors(const QColor& start, const QColor& end) {
  gradientStart_ = start;
  gradientEnd_ = end;
  UpdateBackground();
}

void TChart::SetView3D(bool view3D) {
  view3D_ = view3D;
  UpdateBackground();
}

void TChart::UpdateBackground() {
  TParts& p = *parts_;
  if (gradientVisible_) {
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, gradientStart_);
    gradient.setColorAt(1, gradientEnd_);
    p.Chart->setBackgroundBrush(gradient);
  } else {
    p.Chart->setBackgroundBrush(Qt::white);
  }
  p.Chart->setDropShadowEnabled(view3D_);
  p.Chart->setPlotAreaBackgroundVisible(view3D_);
  p.Chart->setPlotAreaBackgroundBrush(QColor(248, 248, 248));
  p.View->BoxDepth = view3D_ ? BoxDepth : 0;
  p.View->viewport()->update();
}

QPointF TChart::ValueAt(const QPoint& position) const {
  const TParts& p = *parts_;
  const QPointF scene = p.View->mapToScene(p.View->mapFrom(this, position));
  const QPointF local = p.Chart->mapFromScene(scene);
  const QRectF plot = p.Chart->plotArea();
  if (plot.width() <= 0 || plot.height() <= 0) return {};
  const QValueAxis* x = p.Axes[0];
  const QValueAxis* y = p.Axes[1];
  return {x->min() + (local.x() - plot.left()) / plot.width() * (x->max() - x->min()),
          y->max() - (local.y() - plot.top()) / plot.height() * (y->max() - y->min())};
}

TChartData TChart::Data() const {
  TChartData data;
  data.Title = title_.toStdString();
  data.Foot = Foot().toStdString();
  for (const auto& series : series_) {
    TChartSeries copy{series->Title().toStdString(), {}};
    for (const QPointF& point : series->Points()) copy.Points.push_back({point.x(), point.y()});
    data.Series.push_back(std::move(copy));
  }
  return data;
}

void TChart::SaveImage(const QString& fileName) {
  Refresh();
  parts_->View->resize(size());
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  bool written = false;
  if (suffix == "svg") {
    QSvgGenerator generator;
    generator.setFileName(fileName);
    generator.setSize(size());
    generator.setViewBox(rect());
    generator.setTitle(title_);
    QPainter painter;
    if (painter.begin(&generator)) {
      render(&painter);
      written = painter.end();
    }
    written = written && QFileInfo(fileName).size() > 0;
  } else {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      render(&painter);
    }
    const bool known = suffix == "png" || suffix == "jpg" || suffix == "jpeg" || suffix == "bmp";
    written = image.save(fileName, known ? nullptr : "BMP");
  }
  if (!written) throw EFileError("Cannot create file \"" + fileName.toStdString() + "\"");
}

void TChart::ScheduleRefresh() {
  if (refreshPending_) return;
  refreshPending_ = true;
  QMetaObject::invokeMethod(this, &TChart::Refresh, Qt::QueuedConnection);
}

void TChart::SeriesChanged() { ScheduleRefresh(); }

void TChart::Refresh() {
  refreshPending_ = false;
  for (size_t i = 0; i < series_.size(); ++i) {
    TSeries& series = *series_[i];
    if (!series.PointsChanged && !series.LookChanged) continue;
    DrawSeries(series, parts_->Drawn[i]);
    series.PointsChanged = false;
    series.LookChanged = false;
  }
  UpdateAxes();
}

void TChart::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A chart filled while it was hidden (a page not yet opened) is drawn whole once it shows:
  // the charting library lays out series added to a hidden view only at the next change.
  for (const auto& series : series_) series->PointsChanged = true;
  Refresh();
  QMetaObject::invokeMethod(
      this,
      [this] {
        for (const auto& series : series_) series->PointsChanged = true;
        Refresh();
      },
      Qt::QueuedConnection);
}

void TChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  parts_->View->setGeometry(rect());
}

}  // namespace sarvanta
