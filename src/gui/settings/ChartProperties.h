// The chart-properties dialog: edits the look and the axis ranges of one results chart and
// the chart's scale record. One instance is created at start-up and reused; Execute shows it
// modally. It keeps a pointer to the chart and the scale it edits while it is open; both
// belong to the motor-task window.
#pragma once

#include "task/ChartScale.h"
#include "task/ChartSettings.h"

#include <QCheckBox>
#include <QColor>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace sarvanta {

class TChart;

class TChartProperties : public QDialog {
  Q_OBJECT

 public:
  explicit TChartProperties(QWidget* parent = nullptr);

  // Fills the dialog from the chart and the scale, shows it modally and, on OK, applies it to
  // both; returns whether OK was chosen. The caller then takes the chart's title from
  // eChartTitle, its value-axis title from eYLabel and its foot from eXLabel.
  bool Execute(TChart* chart, TChartScale* scale);

  // The two halves of Execute.
  void Fill(TChart* chart, TChartScale* scale);
  // Reads every box first: a box that does not hold a number throws its conversion error
  // (EConvertError) and leaves the chart and the scale as they were.
  void Apply();

  QGroupBox* gbChartTitle;
  QLineEdit* eChartTitle;
  QCheckBox* cbChartTitle;
  QGroupBox* gbLabels;
  QLineEdit* eXLabel;
  QLineEdit* eYLabel;
  QCheckBox* cbChartLegend;
  QGroupBox* gbXRange;
  QRadioButton* rbAXMin;
  QRadioButton* rbMXMin;
  QLineEdit* eXMin;
  QRadioButton* rbAXMinCtrlExt;
  QRadioButton* rbaXMax;
  QRadioButton* rbMXMax;
  QLineEdit* exMax;
  QRadioButton* rbAXMaxCtrlExt;
  QGroupBox* gbYRange;
  QRadioButton* rbAYMin;
  QRadioButton* rbMYMin;
  QLineEdit* eYMin;
  QRadioButton* rbAYMinPercent;
  QLineEdit* eYRMinPercent;
  QRadioButton* rbAYMax;
  QRadioButton* rbMYMax;
  QLineEdit* eyMAx;
  QRadioButton* rbAYMaxPercent;
  QLineEdit* eYRMAxPercent;
  QGroupBox* gbGradient;
  QCheckBox* cbShowGradient;
  QToolButton* sStartColor;
  QToolButton* sEndColor;
  QGroupBox* gbYAxisLabel;
  QSpinBox* seAngle;
  QLineEdit* eSize;
  QPushButton* Font;
  QPushButton* bbOK;
  QPushButton* bbCancel;

  // The colours the gradient swatches show.
  QColor SwatchColor(const QToolButton* swatch) const;
  void SetSwatchColor(QToolButton* swatch, const QColor& color);

 public slots:
  void eXMinChange();
  void exMaxChange();
  void eChartTitleChange(const QString& text);
  void sColorMouseUp();
  void FontClick();
  void bbOKClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  TBoundChoices Choices() const;
  TChartPropertiesText BoxTexts() const;
  void SetChoices(const TBoundChoices& choices);

  TChart* chart_ = nullptr;
  TChartScale* scale_ = nullptr;
};

}  // namespace sarvanta
