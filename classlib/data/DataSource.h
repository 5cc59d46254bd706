#pragma once
// A data source: the link between one data set and the data links of the controls that show it.
#include <vector>

#include "classlib/core/Component.h"
#include "classlib/core/TypInfo.h"
#include "classlib/data/DataSet.h"

class TDataLink;

using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
  QUENDREL_CLASS(TDataSource, TComponent)
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // The data set's state as the links see it: inactive while disabled or without a data set.
  TDataSetState State() const { return FState; }

  void Edit(); // puts a browsing data set into edit mode when AutoEdit and the data set allow
  bool IsLinkedTo(const TDataSet* Value) const { return FDataSet && FDataSet == Value; }

  void DataEvent(TDataEvent Event, intptr_t Info); // from the data set
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void UpdateState();

  TDataSet* FDataSet = nullptr;
  std::vector<TDataLink*> FDataLinks;
  TDataSetState FState = dsInactive;
  bool FEnabled = true;
  bool FAutoEdit = true;
};
