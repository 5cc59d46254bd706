#pragma once
// TmainForm: the game window. It holds the game (TGame: the position, the goal, the move lists, the clock
// and the search chain) and shows it through the board view; it owns the board picture and the settings.
// Its components, menus, actions and handler bindings come from the form resource TMAINFORM; each handler
// turns its input into a call on the game, and the game's changes come back as GameChanged and CellsChanged.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/Game.h"
#include "app/SolutionPlayer.h"
#include "classlib/controls/Form.h"
#include "skin/SKThemes.h"

class TAction;
class TApplicationEvents;
class TIniFile;
class TBoardView;
class THintMark;
class TCppWebBrowser;
class TImage;
class TLabel;
class TMenuItem;
class TOpenDialog;
class TOpenPictureDialog;
class TFormRecords;
class TSaveDialog;
class TPanel;
class TTimer;
class TskButton;
class TskFileTheme;
class TskForm;
class TskImagePanel;
class TskMainMenu;
class TskPanel;
class TskPopupMenu;
class TskThemeManager;

// The maker's pages: the banner shown above the board and the home page the update link opens.
extern AnsiString BannerPageURL;
extern const char* const MakerHomeURL;

class TmainForm : public TForm, private TGameObserver {
  QUENDREL_CLASS(TmainForm, TForm)
 public:
  explicit TmainForm(TComponent* Owner);
  ~TmainForm() override;

  // Components of the form resource.
  TskForm* skForm;
  TskMainMenu* MainMenu;
  TskPopupMenu* skPopupMenu;
  TMenuItem* mGame;
  TMenuItem* mOptions;
  TMenuItem* mPuzzleSize;
  TMenuItem* mStyle;
  TMenuItem* mSolution;
  TAction* ActionNewGame;
  TAction* ActionSearch;
  TAction* ActionStopSearch;
  TAction* ActionExit;
  TAction* ActionChangeStyleToNumbered;
  TAction* ActionChangeStyleToGraphic;
  TAction* ActionChangeStyleToBoth;
  TAction* ActionShowSolution;
  TAction* ActionChangeBoardImage;
  TAction* ActionPreview;
  TAction* ActionSizeToFitImage;
  TAction* ActionAbout;
  TAction* ActionMediumSize;
  TAction* ActionSmallSize;
  TAction* ActionNormalSize;
  TAction* ActionReset;
  TAction* ActionChangeTheme;
  TAction* ActionCheckForUpdates;
  TLabel* LabelCheckForUpdate;
  TskImagePanel* skImagePanelBanner;
  TCppWebBrowser* CppWebBrowserBanner;
  TPanel* PanelTop;
  TPanel* PanelStep;
  TPanel* PanelTime;
  TPanel* PanelNavigate;
  TskButton* skButtonPrev;
  TskButton* skButtonNext;
  TskPanel* skPanelBoard;
  TskImagePanel* skImagePanel;
  TPanel* PanelStatus;
  TLabel* LabelStatus;
  TTimer* TimerMove;
  TTimer* TimerBanner;
  TOpenDialog* OpenDialog;
  TOpenPictureDialog* OpenPictureDialog;
  TskFileTheme* skFileTheme;
  TskThemeManager* skThemeManager;

  // Published handlers.
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void ActionNewGameExecute(TObject* Sender);
  void ActionResetExecute(TObject* Sender);
  void ActionExitExecute(TObject* Sender);
  void ActionsUpdate(TObject* Sender);
  void mPuzzleSizeClick(TObject* Sender);
  void mStyleClick(TObject* Sender);
  void TimerMoveTimer(TObject* Sender);
  void ActionChangeStyleToNumberedExecute(TObject* Sender);
  void ActionChangeStyleToGraphicExecute(TObject* Sender);
  void ActionChangeStyleToBothExecute(TObject* Sender);
  void ActionChangeBoardImageExecute(TObject* Sender);
  void skPanelBoardResize(TObject* Sender);
  void ActionSearchExecute(TObject* Sender);
  void ActionStopSearchExecute(TObject* Sender);
  void ActionShowSolutionExecute(TObject* Sender);
  void skButtonPrevClick(TObject* Sender);
  void skButtonNextClick(TObject* Sender);
  void ActionNormalSizeExecute(TObject* Sender);
  void ActionMediumSizeExecute(TObject* Sender);
  void ActionSmallSizeExecute(TObject* Sender);
  void ActionSizeToFitImageExecute(TObject* Sender);
  void ActionPreviewExecute(TObject* Sender);
  void ActionChangeThemeExecute(TObject* Sender);
  void ActionAboutExecute(TObject* Sender);
  void ActionCheckForUpdatesExecute(TObject* Sender);
  void TimerBannerTimer(TObject* Sender);
  void CppWebBrowserBannerDocumentComplete(TObject* Sender, TObject* pDisp, const AnsiString& URL);
  void UpdateTheme();
  // The board layout requested earlier, after the message that asked for it.
  void WMLayoutBoard(TMessage& Message);

  // What the window shows, for those who look at it from outside (the tests).
  const TGame& Game() const { return *game; }
  const TBoard* Board() const { return game->Board(); }
  const std::vector<int32_t>& Goal() const { return game->Goal(); }
  int Rows() const { return game->Rows(); }
  int Cols() const { return game->Cols(); }
  int SizeIndex() const { return sizeIndex; }
  int Style() const { return style; }
  bool Searching() const { return game->Searching(); }
  bool ShowingSolution() const { return game->ShowingSolution(); }
  int SolutionLength() const { return game->SolutionLength(); }
  int HistoryLength() const { return game->HistoryLength(); }
  TPanel* TilePanel(int Cell) const;
  TImage* TileImage(int Cell) const;
  // Board layout passes since the window was made.
  int BoardLayouts() const;
  TImage* BoardPicture() const { return boardPicture; }
  const AnsiString& ThemeFile() const { return themeFile; }
  const AnsiString& ImageFile() const { return imageFile; }
  const AnsiString& IniFileName() const { return iniFileName; }
  int GetChromeHeight();

  // ----- Shortest Solution and Hint
  TAction* ActionShortestSolution = nullptr;
  TAction* ActionHint = nullptr;
  TTimer* TimerHint = nullptr; // takes the hint's mark away
  static constexpr unsigned HintShowMs = 1000;
  void ActionShortestSolutionExecute(TObject* Sender);
  void ActionHintExecute(TObject* Sender);
  void SolverActionsUpdate(TObject* Sender);
  void TimerHintTimer(TObject* Sender);
  const THintMark& HintMark() const { return *hintMark; }
  // The solver the next Shortest Solution or Hint runs (tests script it).
  void SetSolver(TSolver Solver) { game->SetSolver(std::move(Solver)); }

 private:
  void ConstructHint();
  // Shows or hides the hint's mark as the game says.
  void HintChanged();
  // Over the hinted tile wherever the layout put it.
  void PlaceHintMark();
  std::unique_ptr<THintMark> hintMark;

  void Construct();
  void FindParts();
  void LoadSettings();
  void SaveSettings();
  void CellsChanged(const TMove* Move) override;
  void GameChanged(unsigned What) override;
  // Menus, board, player buttons and keys as the search and the player allow them.
  void UpdateLocks();
  void LayoutTiles();
  void RefreshTiles(const TMove* move);
  // The layout requested since the last one, if any, now.
  void FlushBoardLayout();
  // The frame's and menu's colours on the window's panels and counters; once per theme or style change.
  void ApplyThemeColors();
  // False when the picture could not be loaded (the user has been told once).
  bool LoadBoardImage();
  int8_t TileStyle();
  void SetPuzzleSize(TObject* Sender);
  void TileClick(TObject* Sender);
  void ResizeBoardArea(int width, int height);
  void SyncPreviewSize();
  void ChangeStyle(int8_t newStyle);

  std::unique_ptr<TGame> game;
  std::unique_ptr<TBoardView> boardView;
  int32_t sizeIndex = 0;
  AnsiString themeFile;
  AnsiString iniFileName;
  AnsiString imageFile;
  TImage* boardPicture = nullptr; // owned by the window as its owner component
  int8_t style = 0;
  bool formShown = false;
  bool boardResized = false; // the board panel changed size since the last layout

  // ----- The solution playing by itself, sliding tiles and the built-in looks
 public:
  TskButton* skButtonPlay;
  TMenuItem* mLook;
  TMenuItem* mAnimateMoves;
  TMenuItem* mPlaySpeed;

  void skButtonPlayClick(TObject* Sender);
  void mLookClick(TObject* Sender);
  void mLookItemClick(TObject* Sender);
  void mAnimateMovesClick(TObject* Sender);
  void mPlaySpeedClick(TObject* Sender);
  void mPlaySpeedItemClick(TObject* Sender);

  TskUIStyle Look() const { return look; }
  TPlaySpeed PlaySpeed() const { return player->Speed(); }
  bool AnimateMoves() const;
  // The cell whose tile slides now, or -1; FinishSlide puts it in place.
  int SlidingCell() const;
  void FinishSlide();

 private:
  void ConstructPlayerAndLooks();
  void LoadPlayerAndLookSettings(TIniFile& Ini);
  void SavePlayerAndLookSettings(TIniFile& Ini);
  void PlayerChanged();
  // The three buttons share what room the counters leave them.
  void LayoutPlayerButtons();
  void WatchPlayerInput(tagMSG& Msg, bool& Handled);

  std::unique_ptr<TSolutionPlayer> player;
  TApplicationEvents* playerInput = nullptr; // owned by the window
  TskUIStyle look = FromThemeFile;

  // ----- Undo and redo, saved games and records
 public:
  TAction* ActionUndo;
  TAction* ActionRedo;
  TAction* ActionRedoShifted; // Ctrl+Shift+Z, the other short cut of Redo
  TAction* ActionLoadGame;
  TAction* ActionSaveGame;
  TAction* ActionRecords;
  TSaveDialog* SaveDialog; // made here, not in the form resource

  void ActionUndoExecute(TObject* Sender);
  void ActionRedoExecute(TObject* Sender);
  void ActionLoadGameExecute(TObject* Sender);
  void ActionSaveGameExecute(TObject* Sender);
  void ActionRecordsExecute(TObject* Sender);
  void GameActionsUpdate(TObject* Sender);
  // Opens a game file, as Load... and the command line do; when it cannot be loaded, says why in one
  // message, changes nothing and answers false.
  bool OpenGameFile(const AnsiString& FileName);
  // Where the game was last loaded from or saved to.
  const AnsiString& GameFile() const { return gameFile; }
  TFormRecords* RecordsWindow() const { return recordsWindow; }

 private:
  void ConstructGameFiles();
  void LoadRecords();
  // Writes the record of the board size just played; Erase: every record goes.
  void SaveRecords(bool Erase);

  AnsiString gameFile;
  TFormRecords* recordsWindow = nullptr; // owned by the window, made when first shown
};

extern TmainForm* mainForm;
