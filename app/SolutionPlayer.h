#pragma once
// TSolutionPlayer: plays the shown solution by itself, one step per tick of its timer at the chosen speed,
// through the game's PlayStep (the game decides what a step is and when the end has come). Whatever else the
// user does stops it; InputStopsPlaying says which input that is.
#include <memory>

#include "classlib/controls/Messages.h"
#include "classlib/core/AnsiString.h"

class TGame;
class TTimer;

enum class TPlaySpeed { Slow, Normal, Fast };

struct TPlaySpeedInfo {
  TPlaySpeed Speed;
  const char* Name;  // as the Options menu and the settings file say it
  unsigned Interval; // milliseconds between steps
};
inline constexpr TPlaySpeedInfo PlaySpeeds[] = {
    {TPlaySpeed::Slow, "Slow", 800}, {TPlaySpeed::Normal, "Normal", 400}, {TPlaySpeed::Fast, "Fast", 150}};

const TPlaySpeedInfo& PlaySpeedInfo(TPlaySpeed Speed);
// The speed called Name; Fallback for any other text.
TPlaySpeed PlaySpeedFromName(const AnsiString& Name, TPlaySpeed Fallback = TPlaySpeed::Normal);

// Whether Msg is input that stops the player: a key other than Space going down, or a mouse button going down
// anywhere but on PlayButton (whose click toggles the player itself).
bool InputStopsPlaying(const tagMSG& Msg, HWND PlayButton);

class TSolutionPlayer {
 public:
  explicit TSolutionPlayer(TGame& Game);
  ~TSolutionPlayer();
  TSolutionPlayer(const TSolutionPlayer&) = delete;
  TSolutionPlayer& operator=(const TSolutionPlayer&) = delete;

  TPlaySpeed Speed() const { return speed; }
  void SetSpeed(TPlaySpeed Value);
  // Starts playing, or stops when it plays; answers whether it plays now.
  bool Toggle();
  // The game started or stopped playing: the timer follows.
  void PlayingChanged();

 private:
  TGame& game;
  std::unique_ptr<TTimer> timer;
  TPlaySpeed speed = TPlaySpeed::Normal;
};
