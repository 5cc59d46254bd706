#pragma once
// TmainForm: the game window. It owns the position on screen, the goal cells, the three move lists, one
// tile control per cell, the board picture, the running search worker and the settings; its components,
// menus, actions and handler bindings come from the form resource TMAINFORM.
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/core/DateTime.h"
#include "engine/Board.h"

class TAction;
class TCppWebBrowser;
class TImage;
class TLabel;
class TList;
class TMenuItem;
class TOpenDialog;
class TOpenPictureDialog;
class TPanel;
class TSearchThread;
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

class TmainForm : public TForm {
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

  // What the window shows, for those who look at it from outside (the tests).
  const TBoard* Board() const { return board.get(); }
  const std::vector<int32_t>& Goal() const { return goal; }
  int Rows() const { return rows; }
  int Cols() const { return cols; }
  int SizeIndex() const { return sizeIndex; }
  int Style() const { return style; }
  bool Searching() const { return searchThread != nullptr; }
  bool ShowingSolution() const { return showingSolution; }
  int SolutionLength() const;
  int HistoryLength() const;
  TPanel* TilePanel(int Cell) const;
  TImage* TileImage(int Cell) const;
  TImage* BoardPicture() const { return boardPicture; }
  const AnsiString& ThemeFile() const { return themeFile; }
  const AnsiString& ImageFile() const { return imageFile; }
  const AnsiString& IniFileName() const { return iniFileName; }
  int GetChromeHeight();

 private:
  void Construct();
  void FindParts();
  void LoadSettings();
  void SaveSettings();
  void LayoutTiles();
  void RefreshTiles(const TMove* move);
  // False when the picture could not be loaded (the user has been told once).
  bool LoadBoardImage();
  int8_t TileStyle();
  void SetPuzzleSize(TObject* Sender);
  void TileClick(TObject* Sender);
  void StartGame(bool Reset);
  void ClearMoveList(TList* list);
  void ClearMoveLists();
  void AppendMoves(TList* dest, TList* source);
  void SearchThreadTerminate(TObject* Sender);
  void StartSearchRun(int32_t depthBound);
  // Ends a running search and waits for it; its termination handler then changes nothing.
  void EndSearch();
  void ResizeBoardArea(int width, int height);
  void SyncPreviewSize();
  void ChangeStyle(int8_t newStyle);

  std::unique_ptr<TBoard> board;
  std::vector<TPanel*> tilePanels; // owned by the window as their owner component
  std::vector<TImage*> tileImages; // likewise
  std::unique_ptr<TList> solution;
  std::unique_ptr<TList> searchResult;
  std::unique_ptr<TList> history;
  std::vector<int32_t> goal;
  int32_t cols = 0;
  int32_t rows = 0;
  int32_t sizeIndex = 0;
  bool newGamePending = false;
  int32_t moveCount = 0;
  int32_t solutionStep = 0;
  AnsiString themeFile;
  AnsiString iniFileName;
  AnsiString imageFile;
  TDateTime gameStart;
  double searchTime = 0;
  double totalSearchTime = 0;
  TSearchThread* searchThread = nullptr;      // owned; a search runs exactly while it is set
  std::unique_ptr<TSearchThread> spentThread; // the last finished run, freed once its handler has returned
  TImage* boardPicture = nullptr;             // owned by the window as its owner component
  int8_t style = 0;
  bool showingSolution = false;
  bool formShown = false;
  bool closing = false;
};

extern TmainForm* mainForm;
