#include "app/SolutionPlayer.h"

#include "app/Game.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/SysUtils.h"

const TPlaySpeedInfo& PlaySpeedInfo(TPlaySpeed Speed) {
  for (const TPlaySpeedInfo& info : PlaySpeeds)
    if (info.Speed == Speed) return info;
  return PlaySpeeds[1];
}

TPlaySpeed PlaySpeedFromName(const AnsiString& Name, TPlaySpeed Fallback) {
  for (const TPlaySpeedInfo& info : PlaySpeeds)
    if (SameText(Name, info.Name)) return info.Speed;
  return Fallback;
}

bool InputStopsPlaying(const tagMSG& Msg, HWND PlayButton) {
  switch (Msg.message) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    return Msg.wParam != VK_SPACE;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    return Msg.hwnd != PlayButton;
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_NCLBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
    return true;
  default:
    return false;
  }
}

TSolutionPlayer::TSolutionPlayer(TGame& Game) : game(Game), timer(std::make_unique<TTimer>(nullptr)) {
  timer->SetEnabled(false);
  timer->SetInterval(PlaySpeedInfo(speed).Interval);
  timer->OnTimer = [this](TObject*) { game.PlayStep(); };
}

TSolutionPlayer::~TSolutionPlayer() = default;

void TSolutionPlayer::SetSpeed(TPlaySpeed Value) {
  speed = Value;
  timer->SetInterval(PlaySpeedInfo(speed).Interval);
}

bool TSolutionPlayer::Toggle() {
  if (game.Playing())
    game.StopPlaying();
  else
    game.StartPlaying();
  PlayingChanged();
  return game.Playing();
}

void TSolutionPlayer::PlayingChanged() {
  timer->SetEnabled(game.Playing());
}
