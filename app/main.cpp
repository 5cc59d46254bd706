#include "app/main.h"

#include <algorithm>
#include <ctime>

#include "app/BoardView.h"
#include "app/FormParts.h"
#include "app/HintMark.h"
#include "app/Looks.h"
#include "app/RecordsForm.h"
#include "app/SavedGame.h"
#include "app/about.h"
#include "app/preview.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/CppWebBrowser.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Image.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/OpenPictureDialog.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/Timer.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/IniFiles.h"
#include "classlib/core/Random.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Picture.h"
#include "classlib/win/Windows.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPopupMenu.h"

// Posted to the window by a layout request; taken after the message that made the request.
constexpr UINT WM_LAYOUTBOARD = WM_APP + 1;

TmainForm* mainForm = nullptr;
AnsiString BannerPageURL = "http://www.tileforge.example/quendrel/banner.htm";
const char* const MakerHomeURL = "http://www.tileforge.example/";

QUENDREL_REGISTER_CLASS(TmainForm, TForm) {
  c.Method("FormClose", &TmainForm::FormClose);
  c.Method("FormDestroy", &TmainForm::FormDestroy);
  c.Method("FormKeyDown", &TmainForm::FormKeyDown);
  c.Method("FormShow", &TmainForm::FormShow);
  c.Method("ActionNewGameExecute", &TmainForm::ActionNewGameExecute);
  c.Method("ActionResetExecute", &TmainForm::ActionResetExecute);
  c.Method("ActionExitExecute", &TmainForm::ActionExitExecute);
  c.Method("ActionUndoExecute", &TmainForm::ActionUndoExecute);
  c.Method("ActionRedoExecute", &TmainForm::ActionRedoExecute);
  c.Method("ActionLoadGameExecute", &TmainForm::ActionLoadGameExecute);
  c.Method("ActionSaveGameExecute", &TmainForm::ActionSaveGameExecute);
  c.Method("ActionRecordsExecute", &TmainForm::ActionRecordsExecute);
  c.Method("GameActionsUpdate", &TmainForm::GameActionsUpdate);
  c.Method("ActionsUpdate", &TmainForm::ActionsUpdate);
  c.Method("mPuzzleSizeClick", &TmainForm::mPuzzleSizeClick);
  c.Method("mStyleClick", &TmainForm::mStyleClick);
  c.Method("TimerMoveTimer", &TmainForm::TimerMoveTimer);
  c.Method("ActionChangeStyleToNumberedExecute", &TmainForm::ActionChangeStyleToNumberedExecute);
  c.Method("ActionChangeStyleToGraphicExecute", &TmainForm::ActionChangeStyleToGraphicExecute);
  c.Method("ActionChangeStyleToBothExecute", &TmainForm::ActionChangeStyleToBothExecute);
  c.Method("ActionChangeBoardImageExecute", &TmainForm::ActionChangeBoardImageExecute);
  c.Method("skPanelBoardResize", &TmainForm::skPanelBoardResize);
  c.Method("ActionSearchExecute", &TmainForm::ActionSearchExecute);
  c.Method("ActionStopSearchExecute", &TmainForm::ActionStopSearchExecute);
  c.Method("ActionShowSolutionExecute", &TmainForm::ActionShowSolutionExecute);
  c.Method("skButtonPrevClick", &TmainForm::skButtonPrevClick);
  c.Method("skButtonNextClick", &TmainForm::skButtonNextClick);
  c.Method("ActionNormalSizeExecute", &TmainForm::ActionNormalSizeExecute);
  c.Method("ActionMediumSizeExecute", &TmainForm::ActionMediumSizeExecute);
  c.Method("ActionSmallSizeExecute", &TmainForm::ActionSmallSizeExecute);
  c.Method("ActionSizeToFitImageExecute", &TmainForm::ActionSizeToFitImageExecute);
  c.Method("ActionPreviewExecute", &TmainForm::ActionPreviewExecute);
  c.Method("ActionChangeThemeExecute", &TmainForm::ActionChangeThemeExecute);
  c.Method("ActionAboutExecute", &TmainForm::ActionAboutExecute);
  c.Method("ActionCheckForUpdatesExecute", &TmainForm::ActionCheckForUpdatesExecute);
  c.Method("TimerBannerTimer", &TmainForm::TimerBannerTimer);
  c.Method("CppWebBrowserBannerDocumentComplete", &TmainForm::CppWebBrowserBannerDocumentComplete);
  c.Method("UpdateTheme", &TmainForm::UpdateTheme);
  c.Message(WM_LAYOUTBOARD, &TmainForm::WMLayoutBoard);
  c.Method("skButtonPlayClick", &TmainForm::skButtonPlayClick);
  c.Method("mLookClick", &TmainForm::mLookClick);
  c.Method("mLookItemClick", &TmainForm::mLookItemClick);
  c.Method("mAnimateMovesClick", &TmainForm::mAnimateMovesClick);
  c.Method("mPlaySpeedClick", &TmainForm::mPlaySpeedClick);
  c.Method("mPlaySpeedItemClick", &TmainForm::mPlaySpeedItemClick);
  c.Method("ActionShortestSolutionExecute", &TmainForm::ActionShortestSolutionExecute);
  c.Method("ActionHintExecute", &TmainForm::ActionHintExecute);
  c.Method("SolverActionsUpdate", &TmainForm::SolverActionsUpdate);
  c.Method("TimerHintTimer", &TmainForm::TimerHintTimer);
}

namespace {

const char* const Section = "DEFAULT";
constexpr int DefaultSizeIndex = 6; // "3x3"
constexpr int SizeCount = 25;       // 2x2 .. 6x6

// Keeps the window at least 200 x 50. The skinned frame sets the window's minimum, from the theme, whenever a
// theme is applied, and a narrower window loses its title and folds its menu bar onto a second row: the
// game's minimum is raised again over each new one.
void KeepMinimumSize(TControl* Window) {
  constexpr int MinWidth = 200, MinHeight = 50;
  TSizeConstraints* limits = Window->Constraints();
  limits->OnChange = [limits](TObject*) {
    if (limits->MinWidth() < MinWidth) limits->SetMinWidth(MinWidth);
    if (limits->MinHeight() < MinHeight) limits->SetMinHeight(MinHeight);
  };
  limits->OnChange(limits);
}

// Any picture the class library reads becomes the bitmap the pieces are cut from.
void ReadBoardPicture(const AnsiString& File, TBitmap& Bitmap) {
  TPicture loaded;
  loaded.LoadFromFile(File);
  Bitmap.Assign(loaded.Graphic());
}

} // namespace

TmainForm::TmainForm(TComponent* Owner) : TForm(Owner) {
  try {
    ReadFormResource();
    Construct();
  } catch (...) {
    // The base destructor would call OnDestroy on a window that never was: unbind it first.
    OnDestroy = nullptr;
    if (game) game->Close();
    throw;
  }
}

void TmainForm::Construct() {
  FindParts();
  ConstructGameFiles();
  KeepMinimumSize(this);
  // The window exists from here on, so the streamed client size is in place before the saved size replaces
  // it.
  HandleNeeded();
  SetCaption(Application->Title());
  // The settings belong to the folder the game was started in, not to the program's folder.
  iniFileName = IncludeTrailingPathDelimiter(GetCurrentDir()) + "quendrel.ini";
  SetPosition(poDefault);
  skImagePanelBanner->SetHeight(64);
  for (int r = 2; r <= 6; ++r)
    for (int k = 2; k <= 6; ++k) {
      auto* item = new TMenuItem(this); // owned by the window
      item->SetCaption(IntToStr(r) + "x" + IntToStr(k));
      item->SetRadioItem(true);
      item->SetTag(k);
      item->OnClick = TNotifyEvent(this, &TmainForm::SetPuzzleSize);
      mPuzzleSize->Add(item);
    }
  formShown = false;
  game = std::make_unique<TGame>(static_cast<TGameObserver*>(this));
  boardView = std::make_unique<TBoardView>(this, skPanelBoard, skImagePanel,
                                           TNotifyEvent(this, &TmainForm::TileClick),
                                           [this] { PostMessage(Handle(), WM_LAYOUTBOARD, 0, 0); });
  ConstructPlayerAndLooks();
  // A style pushed from the theme manager restyles the frame and menu: their colours spread again.
  skThemeManager->OnUIStyleChanged = [this](TObject*) {
    ApplyThemeColors();
    boardView->RequestLayout();
  };
  ConstructHint();
  boardPicture = new TImage(this); // owned by the window, never shown
  boardPicture->SetStretch(false);
  SRand(static_cast<uint32_t>(std::time(nullptr)));
  LoadSettings();
  LoadRecords();
  try {
    skFileTheme->SetThemeFile(themeFile);
  } catch (Exception& e) {
    // A saved theme that cannot be used must not keep the game from starting: say so and go on without it.
    Application->ShowException(&e);
    themeFile.clear();
  }
  if (style == 1 || style == 2) LoadBoardImage();
  ApplyThemeColors();
  SetPuzzleSize(mPuzzleSize->Items(sizeIndex));
  CppWebBrowserBanner->SetVisible(false);
  CppWebBrowserBanner->Navigate(BannerPageURL);
}

TmainForm::~TmainForm() {
  // The base destructor would run OnDestroy after this object's members are gone; run it while they live.
  if (OnDestroy) {
    OnDestroy = nullptr;
    FormDestroy(this);
  }
  game.reset(); // ends a search still running and frees the move lists
  if (mainForm == this) mainForm = nullptr;
}

void TmainForm::FindParts() {
  skForm = FormPart<TskForm>(this, "skForm");
  MainMenu = FormPart<TskMainMenu>(this, "MainMenu");
  skPopupMenu = FormPart<TskPopupMenu>(this, "skPopupMenu");
  mGame = FormPart<TMenuItem>(this, "mGame");
  mOptions = FormPart<TMenuItem>(this, "mOptions");
  mPuzzleSize = FormPart<TMenuItem>(this, "mPuzzleSize");
  mStyle = FormPart<TMenuItem>(this, "mStyle");
  mSolution = FormPart<TMenuItem>(this, "mSolution");
  ActionNewGame = FormPart<TAction>(this, "ActionNewGame");
  ActionSearch = FormPart<TAction>(this, "ActionSearch");
  ActionStopSearch = FormPart<TAction>(this, "ActionStopSearch");
  ActionExit = FormPart<TAction>(this, "ActionExit");
  ActionChangeStyleToNumbered = FormPart<TAction>(this, "ActionChangeStyleToNumbered");
  ActionChangeStyleToGraphic = FormPart<TAction>(this, "ActionChangeStyleToGraphic");
  ActionChangeStyleToBoth = FormPart<TAction>(this, "ActionChangeStyleToBoth");
  ActionShowSolution = FormPart<TAction>(this, "ActionShowSolution");
  ActionChangeBoardImage = FormPart<TAction>(this, "ActionChangeBoardImage");
  ActionPreview = FormPart<TAction>(this, "ActionPreview");
  ActionSizeToFitImage = FormPart<TAction>(this, "ActionSizeToFitImage");
  ActionAbout = FormPart<TAction>(this, "ActionAbout");
  ActionMediumSize = FormPart<TAction>(this, "ActionMediumSize");
  ActionSmallSize = FormPart<TAction>(this, "ActionSmallSize");
  ActionNormalSize = FormPart<TAction>(this, "ActionNormalSize");
  ActionReset = FormPart<TAction>(this, "ActionReset");
  ActionChangeTheme = FormPart<TAction>(this, "ActionChangeTheme");
  ActionCheckForUpdates = FormPart<TAction>(this, "ActionCheckForUpdates");
  LabelCheckForUpdate = FormPart<TLabel>(this, "LabelCheckForUpdate");
  skImagePanelBanner = FormPart<TskImagePanel>(this, "skImagePanelBanner");
  CppWebBrowserBanner = FormPart<TCppWebBrowser>(this, "CppWebBrowserBanner");
  PanelTop = FormPart<TPanel>(this, "PanelTop");
  PanelStep = FormPart<TPanel>(this, "PanelStep");
  PanelTime = FormPart<TPanel>(this, "PanelTime");
  PanelNavigate = FormPart<TPanel>(this, "PanelNavigate");
  skButtonPrev = FormPart<TskButton>(this, "skButtonPrev");
  skButtonNext = FormPart<TskButton>(this, "skButtonNext");
  skPanelBoard = FormPart<TskPanel>(this, "skPanelBoard");
  skImagePanel = FormPart<TskImagePanel>(this, "skImagePanel");
  PanelStatus = FormPart<TPanel>(this, "PanelStatus");
  LabelStatus = FormPart<TLabel>(this, "LabelStatus");
  TimerMove = FormPart<TTimer>(this, "TimerMove");
  TimerBanner = FormPart<TTimer>(this, "TimerBanner");
  OpenDialog = FormPart<TOpenDialog>(this, "OpenDialog");
  OpenPictureDialog = FormPart<TOpenPictureDialog>(this, "OpenPictureDialog");
  skFileTheme = FormPart<TskFileTheme>(this, "skFileTheme");
  skThemeManager = FormPart<TskThemeManager>(this, "skThemeManager");
}

// ----- Settings

void TmainForm::LoadSettings() {
  TIniFile ini(iniFileName);
  sizeIndex = ini.ReadInteger(Section, "Puzzle Size", DefaultSizeIndex);
  // Values from outside the game's range fall back to the defaults instead of stopping the start.
  if (sizeIndex < 0 || sizeIndex >= SizeCount) sizeIndex = DefaultSizeIndex;
  const int savedStyle = ini.ReadInteger(Section, "Style", 0);
  style = static_cast<int8_t>(savedStyle >= 0 && savedStyle <= 2 ? savedStyle : 0);
  imageFile = ini.ReadString(Section, "Image", "default.jpg");
  int width = ini.ReadInteger(Section, "Width", 250);
  int height = ini.ReadInteger(Section, "Height", GetChromeHeight() + 250);
  // The window always fits the screen's work area, whatever the file says.
  const TRect work = Screen->WorkAreaRect();
  width = std::clamp(width, Constraints()->MinWidth(), std::max(Constraints()->MinWidth(), work.Width()));
  height =
      std::clamp(height, Constraints()->MinHeight(), std::max(Constraints()->MinHeight(), work.Height()));
  SetWidth(width);
  SetHeight(height);
  themeFile = ini.ReadString(Section, "Theme", "");
  LoadPlayerAndLookSettings(ini);
}

void TmainForm::SaveSettings() {
  // Each write replaces the whole file in one step, so a crash never leaves half a file behind.
  TIniFile ini(iniFileName);
  ini.WriteInteger(Section, "Puzzle Size", sizeIndex);
  ini.WriteInteger(Section, "Style", style);
  ini.WriteString(Section, "Image", imageFile);
  ini.WriteInteger(Section, "Width", Width());
  ini.WriteInteger(Section, "Height", Height());
  ini.WriteString(Section, "Theme", themeFile);
  SavePlayerAndLookSettings(ini);
}

// ----- Start and end

void TmainForm::FormShow(TObject*) {
  formShown = true;
  UpdateTheme();
}

void TmainForm::FormClose(TObject*, TCloseAction&) {
  game->Close();
}

void TmainForm::FormDestroy(TObject*) {
  formShown = false;
  if (game) {
    game->Close();
    game->ClearMoveLists();
  }
  delete boardPicture; // a component: leaving its owner on the way
  boardPicture = nullptr;
  try {
    SaveSettings();
  } catch (Exception& e) {
    MessageDlg(e.Message, mtError, {mbOK}, 0);
  }
}

// ----- What the game changed

void TmainForm::CellsChanged(const TMove* Move) {
  if (!Move) LayoutTiles(); // a new position: a new size or style may wait for its layout
  RefreshTiles(Move);
}

void TmainForm::GameChanged(unsigned What) {
  if (What & gcSize) boardView->SetCellCount(game->Board()->count);
  if (What & gcClock) TimerMove->SetEnabled(game->ClockRunning());
  if (What & gcCounters) {
    PanelStep->SetCaption(game->StepText());
    PanelTime->SetCaption(game->TimeText());
  }
  if (What & gcStatus) LabelStatus->SetCaption(game->Status());
  if (What & (gcSearch | gcPlayer)) UpdateLocks();
  if (What & (gcPlayer | gcPlaying)) PlayerChanged();
  if (What & gcHint) HintChanged();
  if (What & gcRecords) SaveRecords(false);
}

void TmainForm::UpdateLocks() {
  const bool searching = game->Searching();
  const bool player = game->ShowingSolution();
  mGame->SetEnabled(!searching);
  mOptions->SetEnabled(!searching);
  skPanelBoard->SetEnabled(!searching && !player);
  PanelNavigate->SetVisible(player);
  // The player ignores keys itself; a search takes the handler away.
  if (searching)
    OnKeyDown = nullptr;
  else
    OnKeyDown = TKeyEvent(this, &TmainForm::FormKeyDown);
}

// ----- Board view

void TmainForm::LayoutTiles() {
  if (const TBoard* board = game->Board()) boardView->Layout(*board, TileStyle());
  PlaceHintMark();
}

void TmainForm::RefreshTiles(const TMove* move) {
  if (const TBoard* board = game->Board())
    boardView->Refresh(*board, TileStyle(), boardPicture->Picture()->Bitmap(), skForm->Color(), move);
}

void TmainForm::FlushBoardLayout() {
  if (!boardView->TakeLayoutRequest()) return;
  LayoutTiles();
  RefreshTiles(nullptr);
  if (boardResized) {
    boardResized = false;
    SyncPreviewSize();
  }
}

void TmainForm::WMLayoutBoard(TMessage&) {
  if (formShown) FlushBoardLayout();
}

void TmainForm::ApplyThemeColors() {
  const TColor frameColor = skForm->MenuBarColor();
  skForm->SetColor(frameColor);
  PanelTop->SetColor(frameColor);
  skPanelBoard->SetColor(frameColor);
  skImagePanel->SetColor(frameColor);
  skImagePanelBanner->SetColor(frameColor);
  const TColor fontColor = MainMenu->FontColor();
  LabelStatus->Font()->SetColor(fontColor);
  PanelStep->Font()->SetColor(fontColor);
  PanelTime->Font()->SetColor(fontColor);
}

TPanel* TmainForm::TilePanel(int Cell) const {
  return boardView ? boardView->TilePanel(Cell) : nullptr;
}

TImage* TmainForm::TileImage(int Cell) const {
  return boardView ? boardView->TileImage(Cell) : nullptr;
}

int TmainForm::BoardLayouts() const {
  return boardView ? boardView->Layouts() : 0;
}

bool TmainForm::LoadBoardImage() {
  AnsiString problem;
  if (!FileExists(imageFile)) {
    problem = "Board image file '" + imageFile + "' is not found !";
  } else {
    try {
      TBitmap bitmap;
      ReadBoardPicture(imageFile, bitmap);
      boardPicture->Picture()->SetBitmap(&bitmap);
      boardView->PictureChanged();
      return true;
    } catch (Exception& e) {
      problem = "Board image file '" + imageFile + "' cannot be used: " + e.Message;
    }
  }
  MessageDlg(problem, mtError, {mbOK}, 0);
  return false;
}

int8_t TmainForm::TileStyle() {
  // Without a picture to cut pieces from, the tiles show numbers; the chosen style waits for a picture.
  return style != 0 && boardPicture->Picture()->Bitmap()->Empty() ? 0 : style;
}

void TmainForm::ChangeStyle(int8_t newStyle) {
  style = newStyle;
  if (style != 0) LoadBoardImage();
  LayoutTiles();
  RefreshTiles(nullptr);
  if (style == 0 && FormPreview) FormPreview->Hide();
}

void TmainForm::ActionChangeStyleToNumberedExecute(TObject*) {
  ChangeStyle(0);
}

void TmainForm::ActionChangeStyleToGraphicExecute(TObject*) {
  ChangeStyle(1);
}

void TmainForm::ActionChangeStyleToBothExecute(TObject*) {
  ChangeStyle(2);
}

void TmainForm::mStyleClick(TObject*) {
  mStyle->Items(style)->SetChecked(true);
}

void TmainForm::ActionChangeBoardImageExecute(TObject*) {
  const size_t cut = imageFile.find_last_of("\\/:");
  OpenPictureDialog->InitialDir = cut == AnsiString::npos ? AnsiString() : imageFile.substr(0, cut + 1);
  if (!OpenPictureDialog->Execute()) return;
  const AnsiString previous = imageFile;
  const int8_t tileStyle = TileStyle();
  imageFile = OpenPictureDialog->FileName;
  // A picture that cannot be used does not replace the one that could.
  if (!LoadBoardImage()) imageFile = previous;
  if (TileStyle() != tileStyle) LayoutTiles(); // the first picture turns numbered tiles into pieces
  RefreshTiles(nullptr);
  if (FormPreview && FormPreview->Visible() && style != 0) ActionPreviewExecute(this);
}

void TmainForm::skPanelBoardResize(TObject*) {
  if (!formShown) return;
  // However many resizes one change makes, the tiles are laid out once, after it.
  boardResized = true;
  boardView->RequestLayout();
}

// ----- Game flow

void TmainForm::SetPuzzleSize(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  sizeIndex = mPuzzleSize->IndexOf(item);
  game->SetSize(sizeIndex / 5 + 2, item->Tag());
  ActionNewGame->Execute();
}

void TmainForm::mPuzzleSizeClick(TObject*) {
  mPuzzleSize->Items(sizeIndex)->SetChecked(true);
}

void TmainForm::ActionNewGameExecute(TObject*) {
  game->NewGame();
}

void TmainForm::ActionResetExecute(TObject*) {
  game->Reset();
}

void TmainForm::TileClick(TObject* Sender) {
  if (auto* tile = dynamic_cast<TComponent*>(Sender)) game->Click(tile->Tag());
}

void TmainForm::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  boardView->FinishSlide(); // a key never waits for a slide
  if (Key == VK_SPACE && game->ShowingSolution()) {
    player->Toggle();
    Key = 0; // not a click of the focused button as well
    return;
  }
  // Each arrow moves the tile on the other side of the blank its way.
  switch (Key) {
  case VK_UP:
    game->MoveTile(0);
    break;
  case VK_DOWN:
    game->MoveTile(1);
    break;
  case VK_LEFT:
    game->MoveTile(2);
    break;
  case VK_RIGHT:
    game->MoveTile(3);
    break;
  default:
    break;
  }
}

void TmainForm::TimerMoveTimer(TObject*) {
  game->ClockTick();
}

void TmainForm::ActionsUpdate(TObject*) {
  if (!game || !game->Board()) return;
  ActionNewGame->SetEnabled(game->CanStartGame());
  ActionReset->SetEnabled(game->CanStartGame());
  mPuzzleSize->SetEnabled(game->CanStartGame());
  ActionSearch->SetEnabled(game->CanSearch());
  ActionStopSearch->SetEnabled(game->CanStopSearch());
  ActionSizeToFitImage->SetEnabled(style != 0);
  ActionChangeBoardImage->SetEnabled(style != 0);
  ActionPreview->SetEnabled(style != 0);
  ActionShowSolution->SetEnabled(game->CanShowSolution());
}

void TmainForm::ActionExitExecute(TObject*) {
  Close();
}

// ----- Solver control and the solution player

void TmainForm::ActionSearchExecute(TObject*) {
  game->Search();
}

void TmainForm::ActionStopSearchExecute(TObject*) {
  game->StopSearch();
}

void TmainForm::ActionShowSolutionExecute(TObject*) {
  game->ShowSolution();
}

void TmainForm::skButtonNextClick(TObject*) {
  game->StopPlaying();
  game->StepForward();
}

void TmainForm::skButtonPrevClick(TObject*) {
  game->StopPlaying();
  game->StepBack();
}

// ----- Sizes, themes, preview, About and banner

int TmainForm::GetChromeHeight() {
  const auto vertical = [](TControl* c) {
    return c->Height() + c->Margins()->Top() + c->Margins()->Bottom();
  };
  // The menu's item height stands for the menu bar.
  return skForm->GetTitleBarHeight() + skForm->Margins()->Top() + skForm->Margins()->Bottom() +
         vertical(PanelTop) + vertical(LabelCheckForUpdate) + MainMenu->MenuItemHeight() +
         vertical(PanelStatus);
}

void TmainForm::ResizeBoardArea(int width, int height) {
  SetClientWidth(skForm->Margins()->Left() + width + skForm->Margins()->Right());
  SetClientHeight(GetChromeHeight() + height);
  FlushBoardLayout();
  SyncPreviewSize();
}

void TmainForm::SyncPreviewSize() {
  if (!FormPreview) return;
  FormPreview->SetClientWidth(skImagePanel->Width());
  FormPreview->SetClientHeight(FormPreview->skForm->GetTitleBarHeight() + skImagePanel->Height());
}

void TmainForm::ActionNormalSizeExecute(TObject*) {
  ResizeBoardArea(400, 400);
}

void TmainForm::ActionMediumSizeExecute(TObject*) {
  ResizeBoardArea(300, 300);
}

void TmainForm::ActionSmallSizeExecute(TObject*) {
  ResizeBoardArea(200, 200);
}

void TmainForm::ActionSizeToFitImageExecute(TObject*) {
  TBitmap* picture = boardPicture->Picture()->Bitmap();
  ResizeBoardArea(picture->Width(), picture->Height());
}

void TmainForm::ActionPreviewExecute(TObject*) {
  if (!FormPreview) return;
  SyncPreviewSize();
  FormPreview->Image->Picture()->LoadFromFile(imageFile);
  FormPreview->Show();
}

void TmainForm::ActionChangeThemeExecute(TObject*) {
  OpenDialog->InitialDir = ExtractFilePath(Application->ExeName()) + "themes";
  OpenDialog->Filter = "Theme|*.skn";
  if (!OpenDialog->Execute()) return;
  const AnsiString previous = themeFile;
  const TskUIStyle previousLook = look;
  themeFile = OpenDialog->FileName;
  look = FromThemeFile; // a chosen theme file is seen, whatever built-in look was on
  try {
    UpdateTheme();
  } catch (...) {
    themeFile = previous; // a file that is no theme is not remembered
    look = previousLook;
    throw;
  }
}

void TmainForm::UpdateTheme() {
  // Without a theme file, the theme file's look is the one the form resources hold: nothing to apply.
  if (look == FromThemeFile && themeFile.empty()) return;
  ApplyLook(skFileTheme, skThemeManager, look, themeFile);
  Invalidate();
  ApplyThemeColors();
  // One layout for the switch and every resize it made on the way.
  boardView->RequestLayout();
  FlushBoardLayout();
  if (FormAbout) {
    ApplyLook(FormAbout->skFileTheme, FormAbout->skThemeManager, look, themeFile);
    FormAbout->Invalidate();
  }
  if (FormPreview) {
    ApplyLook(FormPreview->skFileTheme, FormPreview->skThemeManager, look, themeFile);
    FormPreview->Invalidate();
  }
}

void TmainForm::ActionAboutExecute(TObject*) {
  if (FormAbout) FormAbout->ShowModal();
}

void TmainForm::ActionCheckForUpdatesExecute(TObject*) {
  ShellExecuteA(Handle(), nullptr, MakerHomeURL, nullptr, nullptr, SW_SHOWNORMAL);
}

void TmainForm::TimerBannerTimer(TObject*) {
  CppWebBrowserBanner->SetVisible(false);
  CppWebBrowserBanner->Refresh();
}

void TmainForm::CppWebBrowserBannerDocumentComplete(TObject*, TObject*, const AnsiString&) {
  CppWebBrowserBanner->SetVisible(true);
}

// ----- The solution playing by itself, sliding tiles and the built-in looks

void TmainForm::ConstructPlayerAndLooks() {
  skButtonPlay = FormPart<TskButton>(this, "skButtonPlay");
  mLook = FormPart<TMenuItem>(this, "mLook");
  mAnimateMoves = FormPart<TMenuItem>(this, "mAnimateMoves");
  mPlaySpeed = FormPart<TMenuItem>(this, "mPlaySpeed");
  // The Play button takes the window's look with the other two.
  if (skThemeManager->CompList()->IndexOf("skButtonPlay") < 0)
    skThemeManager->CompList()->Add("skButtonPlay");
  player = std::make_unique<TSolutionPlayer>(*game);
  PanelNavigate->OnResize = [this](TObject*) { LayoutPlayerButtons(); };
  LayoutPlayerButtons();
  playerInput = new TApplicationEvents(this); // owned by the window
  playerInput->OnMessage = TMessageEvent(this, &TmainForm::WatchPlayerInput);
}

void TmainForm::LoadPlayerAndLookSettings(TIniFile& Ini) {
  look = LookFromName(Ini.ReadString(Section, "Look", LookName(FromThemeFile)));
  boardView->SetAnimate(Ini.ReadBool(Section, "Animate Moves", true));
  mAnimateMoves->SetChecked(boardView->Animate());
  player->SetSpeed(PlaySpeedFromName(Ini.ReadString(Section, "Play Speed", "Normal")));
}

void TmainForm::SavePlayerAndLookSettings(TIniFile& Ini) {
  Ini.WriteString(Section, "Look", LookName(look));
  Ini.WriteBool(Section, "Animate Moves", boardView->Animate());
  Ini.WriteString(Section, "Play Speed", PlaySpeedInfo(player->Speed()).Name);
}

bool TmainForm::AnimateMoves() const {
  return boardView->Animate();
}

int TmainForm::SlidingCell() const {
  return boardView ? boardView->SlidingCell() : -1;
}

void TmainForm::FinishSlide() {
  if (boardView) boardView->FinishSlide();
}

void TmainForm::PlayerChanged() {
  if (!player) return;
  player->PlayingChanged();
  skButtonPlay->SetCaption(game->Playing() ? "Stop" : "Play");
}

void TmainForm::LayoutPlayerButtons() {
  // As designed: "<-" and "->" 32 wide from 8, then "Play" 40 wide, 6 apart. With less room (the default
  // width leaves about 74 pixels) they stand 2 apart, the arrows, whose captions are short, narrowed first.
  constexpr int Arrow = 32, Play = 40, NarrowArrow = 18;
  const int room = PanelNavigate->ClientWidth();
  int left = 8, gap = 6, arrow = Arrow, play = Play;
  if (room < left + 2 * Arrow + Play + 2 * gap + 2) {
    left = gap = 2;
    play = std::clamp(room - left - 2 * NarrowArrow - 2 * gap - 2, 0, Play);
    arrow = std::clamp((room - left - play - 2 * gap - 2) / 2, 0, Arrow);
  }
  skButtonPrev->SetBounds(left, 3, arrow, 22);
  skButtonNext->SetBounds(left + arrow + gap, 3, arrow, 22);
  skButtonPlay->SetBounds(left + 2 * (arrow + gap), 3, play, 22);
}

void TmainForm::WatchPlayerInput(tagMSG& Msg, bool&) {
  if (game && game->Playing() && InputStopsPlaying(Msg, skButtonPlay->Handle())) game->StopPlaying();
}

void TmainForm::skButtonPlayClick(TObject*) {
  player->Toggle();
}

void TmainForm::mLookClick(TObject*) {
  for (int i = 0; i < mLook->Count(); ++i)
    if (TMenuItem* item = mLook->Items(i); item->RadioItem()) item->SetChecked(item->Tag() == look);
}

void TmainForm::mLookItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  const auto chosen = static_cast<TskUIStyle>(item->Tag());
  if (chosen == FromThemeFile) {
    ActionChangeTheme->Execute(); // the theme dialog, which switches to the theme file's look
    return;
  }
  look = chosen;
  UpdateTheme();
}

void TmainForm::mAnimateMovesClick(TObject*) {
  boardView->SetAnimate(!boardView->Animate());
  mAnimateMoves->SetChecked(boardView->Animate());
}

void TmainForm::mPlaySpeedClick(TObject*) {
  for (int i = 0; i < mPlaySpeed->Count(); ++i)
    mPlaySpeed->Items(i)->SetChecked(mPlaySpeed->Items(i)->Tag() == static_cast<int>(player->Speed()));
}

void TmainForm::mPlaySpeedItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) {
    player->SetSpeed(static_cast<TPlaySpeed>(item->Tag()));
    item->SetChecked(true);
  }
}

// ----- Shortest Solution and Hint

void TmainForm::ConstructHint() {
  ActionShortestSolution = FormPart<TAction>(this, "ActionShortestSolution");
  ActionHint = FormPart<TAction>(this, "ActionHint");
  hintMark = std::make_unique<THintMark>(this, skImagePanel, TNotifyEvent(this, &TmainForm::TileClick));
  TimerHint = new TTimer(this); // owned by the window
  TimerHint->SetEnabled(false);
  TimerHint->SetInterval(HintShowMs);
  TimerHint->OnTimer = TNotifyEvent(this, &TmainForm::TimerHintTimer);
}

void TmainForm::ActionShortestSolutionExecute(TObject*) {
  game->ShortestSolution();
}

void TmainForm::ActionHintExecute(TObject*) {
  game->Hint();
}

void TmainForm::SolverActionsUpdate(TObject*) {
  if (!game || !game->Board()) return;
  ActionShortestSolution->SetEnabled(game->CanShortestSolution());
  ActionHint->SetEnabled(game->CanHint());
}

void TmainForm::TimerHintTimer(TObject*) {
  TimerHint->SetEnabled(false);
  game->ClearHint();
}

void TmainForm::PlaceHintMark() {
  if (!hintMark) return;
  const int cell = game->HintCell();
  hintMark->Show(cell >= 0 ? TilePanel(cell) : nullptr, cell);
}

void TmainForm::HintChanged() {
  PlaceHintMark();
  // A second from each new mark, whatever the timer was counting.
  TimerHint->SetEnabled(false);
  TimerHint->SetEnabled(hintMark->Showing());
}

// ----- Undo and redo, saved games and records

namespace {

const char* const GameFilter = "Quendrel game|*.qgame";

} // namespace

void TmainForm::ConstructGameFiles() {
  ActionUndo = FormPart<TAction>(this, "ActionUndo");
  ActionRedo = FormPart<TAction>(this, "ActionRedo");
  ActionRedoShifted = FormPart<TAction>(this, "ActionRedoShifted");
  ActionLoadGame = FormPart<TAction>(this, "ActionLoadGame");
  ActionSaveGame = FormPart<TAction>(this, "ActionSaveGame");
  ActionRecords = FormPart<TAction>(this, "ActionRecords");
  SaveDialog = new TSaveDialog(this); // owned by the window
}

void TmainForm::GameActionsUpdate(TObject*) {
  if (!game || !game->Board()) return;
  ActionUndo->SetEnabled(game->CanUndo());
  ActionRedo->SetEnabled(game->CanRedo());
  ActionRedoShifted->SetEnabled(game->CanRedo());
  ActionLoadGame->SetEnabled(game->CanStartGame());
  ActionSaveGame->SetEnabled(game->CanSave());
}

void TmainForm::ActionUndoExecute(TObject*) {
  game->Undo();
}

void TmainForm::ActionRedoExecute(TObject*) {
  game->Redo();
}

void TmainForm::ActionLoadGameExecute(TObject*) {
  OpenDialog->InitialDir = gameFile.empty() ? GetCurrentDir() : ExtractFileDir(gameFile);
  OpenDialog->Filter = GameFilter;
  OpenDialog->FileName.clear();
  if (!OpenDialog->Execute()) return;
  OpenGameFile(OpenDialog->FileName);
}

bool TmainForm::OpenGameFile(const AnsiString& FileName) {
  TSavedGame saved;
  TBitmap picture;
  bool havePicture = false;
  try {
    saved = LoadSavedGameFile(FileName);
    // The picture is read before anything changes: a game whose pieces cannot be cut is not loaded.
    if (!saved.Image.empty() && (saved.Style != 0 || FileExists(saved.Image))) {
      try {
        if (!FileExists(saved.Image)) throw Exception("it is not found");
        ReadBoardPicture(saved.Image, picture);
        havePicture = true;
      } catch (Exception& e) {
        if (saved.Style != 0)
          throw ESavedGameError(Format("The game file \"%s\" cannot be loaded: its board picture \"%s\" "
                                       "cannot be used: %s.",
                                       FileName.c_str(), saved.Image.c_str(), e.Message.c_str()));
      }
    } else if (saved.Style != 0) {
      throw ESavedGameError(
          Format("The game file \"%s\" cannot be loaded: it names no board picture.", FileName.c_str()));
    }
  } catch (Exception& e) {
    MessageDlg(e.Message, mtError, {mbOK}, 0);
    return false;
  }
  if (havePicture) {
    imageFile = saved.Image;
    boardPicture->Picture()->SetBitmap(&picture);
    boardView->PictureChanged();
  }
  style = static_cast<int8_t>(saved.Style);
  sizeIndex = (saved.Rows - 2) * 5 + (saved.Cols - 2);
  game->Load(saved);
  gameFile = FileName;
  if (style == 0 && FormPreview) FormPreview->Hide();
  return true;
}

void TmainForm::ActionSaveGameExecute(TObject*) {
  SaveDialog->InitialDir = gameFile.empty() ? GetCurrentDir() : ExtractFileDir(gameFile);
  SaveDialog->Filter = GameFilter;
  SaveDialog->DefaultExt = "qgame";
  SaveDialog->FileName = gameFile;
  if (!SaveDialog->Execute()) return;
  AnsiString name = SaveDialog->FileName;
  if (ExtractFileExt(name).empty()) name += ".qgame";
  TSavedGame saved = game->Save();
  saved.Style = style;
  saved.Image = imageFile;
  try {
    SaveSavedGameFile(name, saved);
  } catch (Exception& e) {
    // The game stays as it is, and an older file of that name stays whole.
    MessageDlg("The game was not saved. " + e.Message, mtError, {mbOK}, 0);
    return;
  }
  gameFile = name;
  game->Announce("Game saved");
}

void TmainForm::LoadRecords() {
  game->Records().Load(TIniFile(iniFileName));
}

void TmainForm::SaveRecords(bool Erase) {
  try {
    TIniFile ini(iniFileName);
    if (Erase)
      TRecords::Erase(ini);
    else
      game->Records().Save(ini, game->Rows(), game->Cols());
  } catch (Exception& e) {
    MessageDlg("The records were not saved. " + e.Message, mtError, {mbOK}, 0);
  }
}

void TmainForm::ActionRecordsExecute(TObject*) {
  if (!recordsWindow) recordsWindow = new TFormRecords(this); // owned by the window
  // The look as it is now, which may have changed since the window was last shown.
  ApplyLook(recordsWindow->skFileTheme, recordsWindow->skThemeManager, look, themeFile);
  recordsWindow->ShowRecords(&game->Records(), [this] { SaveRecords(true); });
}
