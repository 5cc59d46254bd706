#pragma once
// TScreen: the desktop as the application sees it: monitors and their work areas, the forms that exist, the
// active form and control, the cursor position. One global instance, Screen.
#include <memory>
#include <vector>

#include "classlib/controls/Control.h"

class TCustomForm;

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TMonitor : public TObject {
 public:
  TMonitor(int Num, const TRect& Bounds, const TRect& WorkArea)
      : FNum(Num), FBounds(Bounds), FWorkArea(WorkArea) {}
  int MonitorNum() const { return FNum; }
  bool Primary() const { return FNum == 0; }
  int Left() const { return FBounds.Left; }
  int Top() const { return FBounds.Top; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }
  TRect BoundsRect() const { return FBounds; }
  TRect WorkareaRect() const { return FWorkArea; }

 private:
  friend class TScreen;
  int FNum;
  TRect FBounds;
  TRect FWorkArea;
};

class TScreen : public TComponent {
  QUENDREL_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int MonitorCount();
  TMonitor* Monitors(int Index);
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default = mdNearest);
  TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default = mdNearest);
  int Width(); // of the primary monitor
  int Height();
  TRect DesktopRect();  // all monitors
  TRect WorkAreaRect(); // of the primary monitor
  int WorkAreaLeft() { return WorkAreaRect().Left; }
  int WorkAreaTop() { return WorkAreaRect().Top; }
  int WorkAreaWidth() { return WorkAreaRect().Width(); }
  int WorkAreaHeight() { return WorkAreaRect().Height(); }
  TPoint CursorPos() const;
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  int PixelsPerInch() const { return 96; }

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int Index) const;
  int IndexOfForm(const TCustomForm* Form) const;
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }

  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form);
  void SetActiveControl(TWinControl* Control) { FActiveControl = Control; }

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

 private:
  void UpdateMonitors();
  std::vector<std::unique_ptr<TMonitor>> FMonitors;
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
};

extern TScreen* Screen;
