#include "settings/ChartProperties.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "chart/Chart.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace sarvanta {

namespace {

QString Text(long double value) { return QString::fromStdString(FloatToStr(value)); }

std::string Std(const QLineEdit* edit) { return edit->text().toStdString(); }

// One bound's three choices, one below the other: "Auto", the fixed value, the data choice
// (with its percent box and "% bigger" when it has them).
QGroupBox* BoundGroup(const QString& title, const char* name, QRadioButton* automatic,
                      QRadioButton* fixed, QLineEdit* value, QRadioButton* data,
                      QLineEdit* percent) {
  auto* group = new QGroupBox(title);
  group->setObjectName(name);
  for (QWidget* child : {static_cast<QWidget*>(automatic), static_cast<QWidget*>(fixed),
                         static_cast<QWidget*>(value), static_cast<QWidget*>(data)})
    child->setParent(group);
  auto* grid = new QGridLayout(group);
  grid->addWidget(automatic, 0, 0, 1, 3);
  grid->addWidget(fixed, 1, 0);
  grid->addWidget(value, 1, 1, 1, 2);
  grid->addWidget(data, 2, 0, 1, percent ? 1 : 3);
  if (percent) {
    percent->setParent(group);
    percent->setMaximumWidth(48);
    percent->setAlignment(Qt::AlignRight);
    grid->addWidget(percent, 2, 1);
    grid->addWidget(new QLabel("% bigger", group), 2, 2);
  }
  grid->setColumnStretch(1, 1);
  return group;
}

}  // namespace

TChartProperties::TChartProperties(QWidget* parent) : QDialog(parent) {
  setObjectName("ChartProperties");
  setWindowTitle("Chart Properties");
  CreateControls();
}

void TChartProperties::CreateControls() {
  auto named = [this](auto* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
  };
  gbChartTitle = named(new QGroupBox("Chart Title", this), "gbChartTitle");
  eChartTitle = named(new QLineEdit(gbChartTitle), "eChartTitle");
  cbChartTitle = named(new QCheckBox("Chart Title", gbChartTitle), "cbChartTitle");
  cbChartTitle->setChecked(true);
  auto* titleLayout = new QVBoxLayout(gbChartTitle);
  titleLayout->addWidget(eChartTitle);
  titleLayout->addWidget(cbChartTitle);

  gbLabels = named(new QGroupBox("Labels", this), "gbLabels");
  eXLabel = named(new QLineEdit(gbLabels), "eXLabel");
  eYLabel = named(new QLineEdit(gbLabels), "eYLabel");
  cbChartLegend = named(new QCheckBox("Show legend", gbLabels), "cbChartLegend");
  auto* labels = new QGridLayout(gbLabels);
  labels->addWidget(new QLabel("X", gbLabels), 0, 0);
  labels->addWidget(eXLabel, 0, 1);
  labels->addWidget(new QLabel("Y", gbLabels), 1, 0);
  labels->addWidget(eYLabel, 1, 1);
  labels->addWidget(cbChartLegend, 2, 0, 1, 2);

  rbAXMin = named(new QRadioButton("Auto"), "rbAXMin");
  rbMXMin = named(new QRadioButton, "rbMXMin");
  eXMin = named(new QLineEdit, "eXMin");
  rbAXMinCtrlExt = named(new QRadioButton("Auto with contol extention"), "rbAXMinCtrlExt");
  rbaXMax = named(new QRadioButton("Auto"), "rbaXMax");
  rbMXMax = named(new QRadioButton, "rbMXMax");
  exMax = named(new QLineEdit, "exMax");
  rbAXMaxCtrlExt = named(new QRadioButton("Auto with contol extention"), "rbAXMaxCtrlExt");
  gbXRange = named(new QGroupBox("X Range", this), "gbXRange");
  auto* xRange = new QHBoxLayout(gbXRange);
  xRange->addWidget(
      BoundGroup("Minimum", "gbXMinimum", rbAXMin, rbMXMin, eXMin, rbAXMinCtrlExt, nullptr));
  xRange->addWidget(
      BoundGroup("Maximum", "gbXMaximum", rbaXMax, rbMXMax, exMax, rbAXMaxCtrlExt, nullptr));

  rbAYMin = named(new QRadioButton("Auto"), "rbAYMin");
  rbMYMin = named(new QRadioButton, "rbMYMin");
  eYMin = named(new QLineEdit, "eYMin");
  rbAYMinPercent = named(new QRadioButton("Auto with "), "rbAYMinPercent");
  eYRMinPercent = named(new QLineEdit("5"), "eYRMinPercent");
  rbAYMax = named(new QRadioButton("Auto"), "rbAYMax");
  rbMYMax = named(new QRadioButton, "rbMYMax");
  eyMAx = named(new QLineEdit, "eyMAx");
  rbAYMaxPercent = named(new QRadioButton("Auto with "), "rbAYMaxPercent");
  eYRMAxPercent = named(new QLineEdit("5"), "eYRMAxPercent");
  gbYRange = named(new QGroupBox("Y Range", this), "gbYRange");
  auto* yRange = new QHBoxLayout(gbYRange);
  yRange->addWidget(
      BoundGroup("Minimum", "gbYMinimum", rbAYMin, rbMYMin, eYMin, rbAYMinPercent, eYRMinPercent));
  yRange->addWidget(
      BoundGroup("Maximum", "gbYMaximum", rbAYMax, rbMYMax, eyMAx, rbAYMaxPercent, eYRMAxPercent));
  rbAXMinCtrlExt->setChecked(true);
  rbaXMax->setChecked(true);
  rbAYMinPercent->setChecked(true);
  rbAYMaxPercent->setChecked(true);

  gbGradient = named(new QGroupBox("Gradient", this), "gbGradient");
  cbShowGradient = named(new QCheckBox("Show Gradient", gbGradient), "cbShowGradient");
  cbShowGradient->setChecked(true);
  sStartColor = named(new QToolButton(gbGradient), "sStartColor");
  sEndColor = named(new QToolButton(gbGradient), "sEndColor");
  SetSwatchColor(sStartColor, QColor(192, 192, 192));
  SetSwatchColor(sEndColor, Qt::white);
  auto* gradient = new QGridLayout(gbGradient);
  gradient->addWidget(cbShowGradient, 0, 0, 1, 2);
  gradient->addWidget(new QLabel("Start Color", gbGradient), 1, 0);
  gradient->addWidget(sStartColor, 1, 1, Qt::AlignLeft);
  gradient->addWidget(new QLabel("End Color", gbGradient), 2, 0);
  gradient->addWidget(sEndColor, 2, 1, Qt::AlignLeft);
  gradient->setColumnStretch(1, 1);

  gbYAxisLabel = named(new QGroupBox("Y axis label", this), "gbYAxisLabel");
  seAngle = named(new QSpinBox(gbYAxisLabel), "seAngle");
  seAngle->setRange(0, 360);
  seAngle->setSingleStep(90);
  eSize = named(new QLineEdit("0", gbYAxisLabel), "eSize");
  eSize->setMaximumWidth(60);
  Font = named(new QPushButton("Font", gbYAxisLabel), "Font");
  auto* axisLabel = new QGridLayout(gbYAxisLabel);
  axisLabel->addWidget(new QLabel("Angle", gbYAxisLabel), 0, 0);
  axisLabel->addWidget(seAngle, 0, 1);
  axisLabel->addWidget(new QLabel("Size", gbYAxisLabel), 1, 0);
  axisLabel->addWidget(eSize, 1, 1);
  axisLabel->addWidget(Font, 2, 0, 1, 2, Qt::AlignLeft);
  axisLabel->setColumnStretch(2, 1);

  bbOK = named(new QPushButton("OK", this), "bbOK");
  bbCancel = named(new QPushButton("Cancel", this), "bbCancel");
  bbOK->setDefault(true);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(bbOK, QDialogButtonBox::AcceptRole);
  buttons->addButton(bbCancel, QDialogButtonBox::RejectRole);

  auto* left = new QVBoxLayout;
  left->addWidget(gbChartTitle);
  left->addWidget(gbLabels);
  left->addWidget(gbGradient);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(gbXRange);
  right->addWidget(gbYRange);
  right->addWidget(gbYAxisLabel);
  right->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 2);
  columns->addLayout(right, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);

  for (QLineEdit* edit : {eXMin, exMax, eYMin, eyMAx}) {
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(70);
  }
  // Entering a time bound's box chooses its fixed value; the value boxes do not.
  eXMin->installEventFilter(this);
  exMax->installEventFilter(this);
  connect(eChartTitle, &QLineEdit::textChanged, this, &TChartProperties::eChartTitleChange);
  connect(sStartColor, &QToolButton::clicked, this, &TChartProperties::sColorMouseUp);
  connect(sEndColor, &QToolButton::clicked, this, &TChartProperties::sColorMouseUp);
  connect(Font, &QPushButton::clicked, this, &TChartProperties::FontClick);
  connect(bbOK, &QPushButton::clicked, this, &TChartProperties::bbOKClick);
  connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TChartProperties::eventFilter(QObject* watched, QEvent* event) {
  const bool entered =
      event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress;
  if (entered && watched == eXMin) eXMinChange();
  if (entered && watched == exMax) exMaxChange();
  return QDialog::eventFilter(watched, event);
}

void TChartProperties::eXMinChange() { rbMXMin->setChecked(true); }

void TChartProperties::exMaxChange() { rbMXMax->setChecked(true); }

void TChartProperties::eChartTitleChange(const QString& text) { eYLabel->setText(text); }

QColor TChartProperties::SwatchColor(const QToolButton* swatch) const {
  return swatch->property("color").value<QColor>();
}

void TChartProperties::SetSwatchColor(QToolButton* swatch, const QColor& color) {
  swatch->setProperty("color", color);
  QPixmap pixmap(40, 16);
  pixmap.fill(color);
  QPainter painter(&pixmap);
  painter.setPen(QColor(96, 96, 96));
  painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
  painter.end();
  swatch->setIcon(QIcon(pixmap));
  swatch->setIconSize(pixmap.size());
  swatch->setToolTip(color.name());
}

void TChartProperties::sColorMouseUp() {
  auto* swatch = qobject_cast<QToolButton*>(sender());
  if (!swatch) return;
  const QColor chosen = QColorDialog::getColor(SwatchColor(swatch), this);
  if (chosen.isValid()) SetSwatchColor(swatch, chosen);
}

void TChartProperties::FontClick() {
  if (!chart_) return;
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, chart_->AxisTitleFont(TAxisSide::Left), this);
  // The chart takes the font at once, whatever the dialog's own answer.
  if (ok) chart_->SetAxisTitleFont(TAxisSide::Left, font);
}

TBoundChoices TChartProperties::Choices() const {
  auto choice = [](const QRadioButton* automatic, const QRadioButton* fixed) {
    if (automatic->isChecked()) return TBoundChoice::Auto;
    return fixed->isChecked() ? TBoundChoice::Fixed : TBoundChoice::Data;
  };
  return {choice(rbAXMin, rbMXMin), choice(rbaXMax, rbMXMax), choice(rbAYMin, rbMYMin),
          choice(rbAYMax, rbMYMax)};
}

void TChartProperties::SetChoices(const TBoundChoices& choices) {
  QRadioButton* const radios[4][3] = {{rbAXMin, rbMXMin, rbAXMinCtrlExt},
                                      {rbaXMax, rbMXMax, rbAXMaxCtrlExt},
                                      {rbAYMin, rbMYMin, rbAYMinPercent},
                                      {rbAYMax, rbMYMax, rbAYMaxPercent}};
  for (size_t i = 0; i < choices.size(); ++i)
    radios[i][static_cast<int>(choices[i])]->setChecked(true);
}

void TChartProperties::Fill(TChart* chart, TChartScale* scale) {
  chart_ = chart;
  scale_ = scale;
  // The box holds one line: the lines of a title are shown side by side.
  QString title = chart->Title();
  title.replace('\n', ' ');
  eChartTitle->setText(title);
  cbChartTitle->setChecked(chart->TitleVisible());
  eYLabel->setText(chart->AxisTitle(TAxisSide::Left));
  seAngle->setValue(chart->LeftTitleAngle());
  eSize->setText(QString::number(chart->LeftTitleSize()));
  eXLabel->setText(chart->Foot());
  cbShowGradient->setChecked(chart->GradientVisible());
  SetSwatchColor(sStartColor, chart->GradientStart());
  SetSwatchColor(sEndColor, chart->GradientEnd());
  const TChartAxis time = chart->Axis(TAxisSide::Bottom);
  const TChartAxis value = chart->Axis(TAxisSide::Left);
  SetChoices(BoundChoicesOf(scale->ModeFlags, {time.AutomaticMinimum, time.AutomaticMaximum,
                                               value.AutomaticMinimum, value.AutomaticMaximum}));
  eXMin->setText(Text(time.Minimum));
  exMax->setText(Text(time.Maximum));
  eYMin->setText(Text(value.Minimum));
  eyMAx->setText(Text(value.Maximum));
  eYRMinPercent->setText(QString::fromStdString(MarginText(scale->YMinMargin)));
  eYRMAxPercent->setText(QString::fromStdString(MarginText(scale->YMaxMargin)));
}

TChartPropertiesText TChartProperties::BoxTexts() const {
  return {Std(eSize), Std(eXMin),         Std(exMax),        Std(eYMin),
          Std(eyMAx), Std(eYRMinPercent), Std(eYRMAxPercent)};
}

void TChartProperties::Apply() {
  if (!chart_ || !scale_) return;
  const TChartPropertiesValues values = ReadChartProperties(BoxTexts());
  const TBoundChoices choices = Choices();
  chart_->SetGradientVisible(cbShowGradient->isChecked());
  chart_->SetTitleVisible(cbChartTitle->isChecked());
  chart_->SetGradientColors(SwatchColor(sStartColor), SwatchColor(sEndColor));
  chart_->SetAxisTitle(TAxisSide::Left, eYLabel->text());
  chart_->SetLeftTitleAngle(seAngle->value());
  chart_->SetLeftTitleSize(values.Size);
  chart_->SetAxis(TAxisSide::Bottom, {choices[0] == TBoundChoice::Auto,
                                      choices[1] == TBoundChoice::Auto, values.XMin, values.XMax});
  chart_->SetAxis(TAxisSide::Left, {choices[2] == TBoundChoice::Auto,
                                    choices[3] == TBoundChoice::Auto, values.YMin, values.YMax});
  chart_->SetLegendVisible(cbChartLegend->isChecked());
  StoreChartProperties(choices, values, *scale_);
}

void TChartProperties::bbOKClick() {
  try {
    ReadChartProperties(BoxTexts());
  } catch (const EConvertError& error) {
    // The dialog stays open with nothing applied, so the box can be put right.
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(error.what()));
    return;
  }
  accept();
}

bool TChartProperties::Execute(TChart* chart, TChartScale* scale) {
  Fill(chart, scale);
  const bool ok = exec() == QDialog::Accepted;
  if (ok) Apply();
  chart_ = nullptr;
  scale_ = nullptr;
  return ok;
}

}  // namespace sarvanta
