#pragma once
// Data-set actions: the commands a navigator's buttons stand for (first, prior, next, last, insert, delete,
// edit, post, cancel, refresh), as actions that act on a data source. An action without a DataSource of
// its own takes the data source of the data-aware control that has the focus.
#include "classlib/controls/ActnList.h"
#include "classlib/data/DataSource.h"

class TDataSetAction : public TAction {
  QUENDREL_CLASS(TDataSetAction, TAction)
 public:
  explicit TDataSetAction(TComponent* AOwner) : TAction(AOwner) {}
  ~TDataSetAction() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);

  bool HandlesTarget(TObject* Target) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // The data set of a target this action handles.
  TDataSet* GetDataSet(TObject* Target) const;

 private:
  TDataSource* FDataSource = nullptr;
};

// Each action acts on its target's data set and enables itself when it can act.
#define QUENDREL_DATASET_ACTION(Name)                                                                        \
  class Name : public TDataSetAction {                                                                       \
    QUENDREL_CLASS(Name, TDataSetAction)                                                                     \
   public:                                                                                                   \
    explicit Name(TComponent* AOwner) : TDataSetAction(AOwner) {}                                            \
    void ExecuteTarget(TObject* Target) override;                                                            \
    void UpdateTarget(TObject* Target) override;                                                             \
  };

QUENDREL_DATASET_ACTION(TDataSetFirst)
QUENDREL_DATASET_ACTION(TDataSetPrior)
QUENDREL_DATASET_ACTION(TDataSetNext)
QUENDREL_DATASET_ACTION(TDataSetLast)
QUENDREL_DATASET_ACTION(TDataSetInsert)
QUENDREL_DATASET_ACTION(TDataSetDelete)
QUENDREL_DATASET_ACTION(TDataSetEdit)
QUENDREL_DATASET_ACTION(TDataSetPost)
QUENDREL_DATASET_ACTION(TDataSetCancel)
QUENDREL_DATASET_ACTION(TDataSetRefresh)

#undef QUENDREL_DATASET_ACTION
