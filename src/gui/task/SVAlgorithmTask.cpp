// The motor-task window's settings pages: goals, time frame, general options, genetic
// operations and task files.
#include "task/SVAlgorithm.h"

#include "app/Latin1.h"
#include "app/ObjectInspector.h"
#include "base/Exception.h"
#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalFunction.h"
#include "ga/TaskFile.h"
#include "model/ObjectDescription.h"
#include "model/TimeFrame.h"
#include "settings/Options.h"
#include "task/SettingsTransfer.h"
#include "task/TaskEditing.h"

#include <QFileDialog>

namespace sarvanta {

namespace {

const char* const kTaskFilter = "Hierarhic Genetic Algorithm (*.hga)";

QListWidgetItem* ListItem(const std::string& text, const TObject* object) {
  auto* item = new QListWidgetItem(ToQString(text));
  item->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
  return item;
}

template <class T>
T* ObjectOf(const QListWidgetItem* item) {
  return item ? reinterpret_cast<T*>(item->data(Qt::UserRole).value<quintptr>()) : nullptr;
}

}  // namespace

// ---- Goals ----

void TSVAlgorithm::ShowGoalsOfAlgorithm() {
  GoalInspector->Clear();
  lbGoalsList->clear();
  const TStringList& goals = GeneticAlgorithm->Goals;
  for (int i = 0; i < goals.Count(); ++i) {
    TGoalFunction* goal = GeneticAlgorithm->Goal(i);
    lbGoalsList->addItem(ListItem(goal->GetDescription(), goal));
    GoalInspector->AddObject(goal->ObjectDescription(goals.Strings(i)));
  }
  GoalInspector->SetActiveObject();
}

void TSVAlgorithm::CopyGoalsToAlgorithmAndResults() {
  // The algorithm's list follows its goals by itself; its texts become the captions shown.
  TStringList& goals = GeneticAlgorithm->Goals;
  for (int i = 0; i < goals.Count() && i < lbGoalsList->count(); ++i)
    goals.SetString(i, ToStdString(lbGoalsList->item(i)->text()));
  ListGoalsForResults();
}

void TSVAlgorithm::bbAddClick() {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  const int position = lbStandardGoals->currentRow();
  if (position < 0) return;
  ++GoalCounter;
  TGoalFunction* goal = CreateStandardGoal(position, *GeneticAlgorithm);
  if (goal == nullptr) return;
  lbGoalsList->addItem(ListItem(goal->GetDescription(), goal));
  GoalInspector->AddObject(goal->ObjectDescription("Goal" + std::to_string(GoalCounter)));
  GoalInspector->SetActiveObject();
  CopyGoalsToAlgorithmAndResults();
}

void TSVAlgorithm::bbDeleteClick() {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  const int row = lbGoalsList->currentRow();
  if (row < 0) return;
  QListWidgetItem* item = lbGoalsList->item(row);
  auto* goal = ObjectOf<TGoalFunction>(item);
  // The inspector lets go of the goal's rows before the goal is freed.
  if (row < GoalInspector->Count()) GoalInspector->Delete(row);
  delete lbGoalsList->takeItem(row);
  if (GeneticAlgorithm->Goals.IndexOfObject(goal) >= 0) delete goal;
  GoalInspector->SetActiveObject();
  CopyGoalsToAlgorithmAndResults();
}

void TSVAlgorithm::lbGoalsListClick() {
  const int row = lbGoalsList->currentRow();
  if (row < 0 || row >= cbGoal->count()) return;
  cbGoal->setCurrentIndex(row);
  GoalInspector->SetActiveObject();
}

void TSVAlgorithm::cbGoalChange() { GoalInspector->SetActiveObject(); }

// ---- Time frame ----

void TSVAlgorithm::eTimeFrameExit() {
  if (GeneticAlgorithm == nullptr) return;
  if (Guarded([this] { TimeFrameExit(Settings(), *GeneticAlgorithm); })) UpdateGraphic();
}

void TSVAlgorithm::cbOscilateClick() {
  if (GeneticAlgorithm == nullptr) {
    // Unbound, the check box still shows what the range box will hold.
    if (!cbOscilate->isChecked()) eOscStep->setText("0");
    return;
  }
  TTaskSettings s = Settings();
  sarvanta::cbOscilateClick(s, *GeneticAlgorithm->TimeFrame);
  eOscStep->setText(ToQString(s.eOscStep));
}

// ---- General options ----

void TSVAlgorithm::cbStopCriterionChange() {
  gbNumberOfSteps->setTitle(ToQString(StopCriterionCaption(cbStopCriterion->currentIndex())));
}

void TSVAlgorithm::GeneralOptionExit() {
  if (GeneticAlgorithm == nullptr) return;
  Guarded([this] { sarvanta::GeneralOptionExit(Settings(), *GeneticAlgorithm); });
}

// ---- Genetic operations ----

void TSVAlgorithm::ShowOperationsOfAlgorithm() {
  lbOperations->clear();
  const TStringList& operations = GeneticAlgorithm->Operations;
  for (int i = 0; i < operations.Count(); ++i) {
    QListWidgetItem* item = ListItem(operations.Strings(i), operations.Objects(i));
    item->setToolTip(item->text());
    lbOperations->addItem(item);
  }
}

void TSVAlgorithm::bbAddOperationClick() {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  const auto tab = static_cast<TOperationTab>(pcGeneticOperatoions->currentIndex());
  QComboBox* combos[] = {cbMutationOperations, cbCrossoverOperations, cbCommonMutationOperations};
  const int itemIndex = combos[pcGeneticOperatoions->currentIndex()]->currentIndex();
  if (itemIndex < 0) return;
  Guarded([&] {
    TGeneticOperation* operation = AddOperation(tab, itemIndex, Settings(), *GeneticAlgorithm);
    if (operation == nullptr) return;
    QListWidgetItem* item = ListItem(operation->Descr, operation);
    item->setToolTip(item->text());
    lbOperations->addItem(item);
  });
}

void TSVAlgorithm::bbDeleteOperationClick() {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  const int row = lbOperations->currentRow();
  if (row >= 0) {
    auto* operation = ObjectOf<TGeneticOperation>(lbOperations->item(row));
    delete lbOperations->takeItem(row);
    if (GeneticAlgorithm->Operations.IndexOfObject(operation) >= 0) delete operation;
  }
  GeneticAlgorithm->RenameLists();
}

void TSVAlgorithm::lbOperationsClick() {
  const auto* operation = ObjectOf<TGeneticOperation>(lbOperations->currentItem());
  if (operation == nullptr || GeneticAlgorithm == nullptr ||
      GeneticAlgorithm->Operations.IndexOfObject(operation) < 0)
    return;
  TTaskSettings s = Settings();
  const int comboIndex = ShowOperation(*operation, s);
  const auto tab = OperationTabOf(*operation);
  ShowSettings(s);
  QComboBox* combos[] = {cbMutationOperations, cbCrossoverOperations, cbCommonMutationOperations};
  const int tabIndex = static_cast<int>(tab);
  pcGeneticOperatoions->setCurrentIndex(tabIndex);
  combos[tabIndex]->setCurrentIndex(comboIndex);
}

// ---- Task files ----

void TSVAlgorithm::bbSaveClick() {
  if (GeneticAlgorithm == nullptr) return;
  QFileDialog dialog(this, "Save HGA", QString(), kTaskFilter);
  dialog.setObjectName("SaveHGADialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("hga");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveHGA(dialog.selectedFiles().constFirst());
}

void TSVAlgorithm::SaveHGA(const QString& fileName) {
  if (GeneticAlgorithm == nullptr) return;
  Guarded([&] {
    TransferBeforeSave(Settings(), *GeneticAlgorithm);
    SaveTaskToFile(*GeneticAlgorithm, ToStdString(fileName));
  });
}

void TSVAlgorithm::bbLoadClick() {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  QFileDialog dialog(this, "Load HGA", QString(), kTaskFilter);
  dialog.setObjectName("LoadHGADialog");
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  LoadHGA(dialog.selectedFiles().constFirst());
}

void TSVAlgorithm::LoadHGA(const QString& fileName) {
  if (GeneticAlgorithm == nullptr || RunInProgress()) return;
  TGeneticAlgorithm& algorithm = *GeneticAlgorithm;
  // Nothing may show the old goals, operations or solutions once the file replaces them.
  ClearBoundLists();
  const bool read = Guarded([&] {
    RegisterTaskClasses();
    LoadTaskFromFile(algorithm, ToStdString(fileName));
  });
  algorithm.RenameLists();
  ShowGoalsOfAlgorithm();
  ShowOperationsOfAlgorithm();
  ListPopulation();
  if (!read) return;
  ElapsedTime = 0;
  TTaskSettings s = Settings();
  ShowLoadedTask(s, algorithm);
  ShowAppliedFunctions(s);
  ShowSettings(s);
  ListGoalsForResults();

  TOptions* options = TOptions::Instance();
  if (options != nullptr && options->cbAutoEstHGAafterrLoading->isChecked()) {
    Guarded([&] { algorithm.EvaluateModel(MechanicalSystem); });
    ListPopulation();
    ListGoalsForResults();
    UpdateGraphic();
  }
}

}  // namespace sarvanta
