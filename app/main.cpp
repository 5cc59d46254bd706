#include "app/main.h"

#include <algorithm>
#include <ctime>

#include "app/FormParts.h"
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
#include "classlib/core/DateUtils.h"
#include "classlib/core/IniFiles.h"
#include "classlib/core/List.h"
#include "classlib/core/Random.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Picture.h"
#include "classlib/win/Windows.h"
#include "engine/SearchThread.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPopupMenu.h"

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
}

namespace {

const char* const Section = "DEFAULT";
constexpr int DefaultSizeIndex = 6; // "3x3"
constexpr int SizeCount = 25;       // 2x2 .. 6x6
constexpr int32_t FirstSearchDepth = 10000;

// A scratch move list whose records go with it.
class TScratchMoves {
 public:
  TScratchMoves() = default;
  TScratchMoves(const TScratchMoves&) = delete;
  TScratchMoves& operator=(const TScratchMoves&) = delete;
  ~TScratchMoves() {
    for (int i = 0; i < List.Count(); ++i) delete static_cast<TMove*>(List[i]);
  }
  TList List;
};

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

} // namespace

TmainForm::TmainForm(TComponent* Owner) : TForm(Owner) {
  try {
    ReadFormResource();
    Construct();
  } catch (...) {
    // The base destructor would call OnDestroy on a window that never was: unbind it first.
    OnDestroy = nullptr;
    EndSearch();
    throw;
  }
}

void TmainForm::Construct() {
  FindParts();
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
  solution = std::make_unique<TList>();
  searchResult = std::make_unique<TList>();
  history = std::make_unique<TList>();
  boardPicture = new TImage(this); // owned by the window, never shown
  boardPicture->SetStretch(false);
  newGamePending = false;
  SRand(static_cast<uint32_t>(std::time(nullptr)));
  LoadSettings();
  try {
    skFileTheme->SetThemeFile(themeFile);
  } catch (Exception& e) {
    // A saved theme that cannot be used must not keep the game from starting: say so and go on without it.
    Application->ShowException(&e);
    themeFile.clear();
  }
  if (style == 1 || style == 2) LoadBoardImage();
  showingSolution = false;
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
  EndSearch();
  spentThread.reset();
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
}

// ----- Start and end

void TmainForm::FormShow(TObject*) {
  formShown = true;
  UpdateTheme();
}

void TmainForm::FormClose(TObject*, TCloseAction&) {
  closing = true;
  EndSearch();
}

void TmainForm::EndSearch() {
  if (!searchThread) return;
  // Detached first: if its termination handler runs inside the wait, it sees a stale worker and does nothing.
  std::unique_ptr<TSearchThread> worker(searchThread);
  searchThread = nullptr;
  worker.reset();
}

void TmainForm::FormDestroy(TObject*) {
  formShown = false;
  closing = true;
  EndSearch();
  tilePanels.clear();
  tileImages.clear();
  board.reset();
  if (solution) {
    ClearMoveLists();
    solution.reset();
    searchResult.reset();
    history.reset();
  }
  goal.clear();
  delete boardPicture; // a component: leaving its owner on the way
  boardPicture = nullptr;
  try {
    SaveSettings();
  } catch (Exception& e) {
    MessageDlg(e.Message, mtError, {mbOK}, 0);
  }
}

// ----- Board view

void TmainForm::LayoutTiles() {
  if (!board) return;
  const int W = skImagePanel->ClientWidth();
  const int H = skImagePanel->ClientHeight();
  const int tileWidth = std::max(0, (W - (cols + 1)) / cols);
  const int tileHeight = std::max(0, (H - (rows + 1)) / rows);
  const int offsetX = (W - cols * tileWidth - (cols - 1)) / 2;
  const int offsetY = (H - rows * tileHeight - (rows - 1)) / 2;
  const int8_t tileStyle = TileStyle();
  skPanelBoard->SetVisible(false);
  for (int i = 0; i < board->count; ++i) {
    const int x = i % cols, y = i / cols;
    TPanel*& panel = tilePanels[static_cast<size_t>(i)];
    if (!panel) panel = new TPanel(this); // owned by the window
    panel->SetVisible(true);
    panel->OnClick = TNotifyEvent(this, &TmainForm::TileClick);
    panel->SetTag(i);
    panel->SetParent(skImagePanel);
    panel->SetBounds(x * tileWidth + offsetX + x, y * tileHeight + offsetY + y, tileWidth, tileHeight);
    TImage*& image = tileImages[static_cast<size_t>(i)];
    if (tileStyle == 1 || tileStyle == 2) {
      delete image;
      image = new TImage(this); // owned by the window
      image->SetAlign(alClient);
      image->SetTransparent(false);
      image->SetStretch(true);
      image->SetTag(i);
      image->OnClick = TNotifyEvent(this, &TmainForm::TileClick);
      image->SetParent(panel);
      image->SetLeft(0);
      image->SetTop(0);
    } else if (image) {
      image->SetVisible(false);
    }
  }
}

void TmainForm::RefreshTiles(const TMove* move) {
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
  if (!board) return;

  const int8_t tileStyle = TileStyle();
  TBitmap* picture = boardPicture->Picture()->Bitmap();
  for (int i = 0; i < board->count; ++i) {
    if (move && i != move->from && i != move->to) continue;
    TPanel* panel = tilePanels[static_cast<size_t>(i)];
    if (!panel) continue;
    const int v = board->cells[i];
    const int pieceCol = (v - 1) % cols, pieceRow = (v - 1) / cols;
    const int pieceWidth = picture->Width() / cols, pieceHeight = picture->Height() / rows;
    const int fontSize = std::min(panel->Width(), panel->Height()) / 4;
    panel->SetVisible(true);
    if (tileStyle == 0) {
      panel->SetBevelWidth(2);
      panel->SetBevelInner(bvRaised);
      panel->SetBevelOuter(bvRaised);
    } else {
      panel->SetBevelWidth(0);
      panel->SetBevelInner(bvNone);
      panel->SetBevelOuter(bvNone);
    }
    panel->SetColor(skForm->Color());
    panel->Font()->SetName("Verdana");
    panel->Font()->SetSize(fontSize);
    panel->Font()->SetStyle({fsBold});
    panel->Font()->SetColor(clBlack);
    if (v == -1) {
      panel->SetVisible(false);
      continue;
    }
    if (tileStyle == 0) {
      panel->SetCaption(IntToStr(v));
      continue;
    }
    TImage* image = tileImages[static_cast<size_t>(i)];
    if (!image) continue;
    const TRect client = image->ClientRect();
    if (pieceWidth > 0 && pieceHeight > 0) {
      TBitmap piece;
      piece.SetSize(pieceWidth, pieceHeight);
      BitBlt(piece.Canvas()->Handle(), 0, 0, pieceWidth, pieceHeight, picture->Canvas()->Handle(),
             pieceCol * pieceWidth, pieceRow * pieceHeight, SRCCOPY);
      image->Canvas()->SetCopyMode(cmSrcCopy);
      image->Canvas()->StretchDraw(client, &piece);
    }
    if (tileStyle == 2) {
      // Black digits on white, merged with OR NOT: white leaves the piece alone, black turns it white.
      TBitmap digits;
      digits.SetSize(client.Width(), client.Height());
      digits.Canvas()->Brush()->SetColor(clWhite);
      digits.Canvas()->FillRect(digits.Canvas()->ClipRect());
      digits.Canvas()->Font()->SetName("Verdana");
      digits.Canvas()->Font()->SetSize(fontSize);
      digits.Canvas()->Font()->SetColor(clBlack);
      digits.Canvas()->Font()->SetStyle({fsBold});
      const AnsiString text = IntToStr(v);
      digits.Canvas()->TextOut((digits.Width() - digits.Canvas()->TextWidth(text)) / 2,
                               (digits.Height() - digits.Canvas()->TextHeight(text)) / 2, text);
      image->Canvas()->SetCopyMode(cmMergePaint);
      image->Canvas()->StretchDraw(client, &digits);
    }
    image->Invalidate();
  }
  skPanelBoard->SetVisible(true);
  skPanelBoard->SetCaption(IntToStr(board->count - 1) + "-Puzzle");
}

bool TmainForm::LoadBoardImage() {
  AnsiString problem;
  if (!FileExists(imageFile)) {
    problem = "Board image file '" + imageFile + "' is not found !";
  } else {
    try {
      // Any picture the class library reads becomes the bitmap the pieces are cut from.
      TPicture loaded;
      loaded.LoadFromFile(imageFile);
      TBitmap bitmap;
      bitmap.Assign(loaded.Graphic());
      boardPicture->Picture()->SetBitmap(&bitmap);
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
  LayoutTiles();
  RefreshTiles(nullptr);
  SyncPreviewSize();
}

// ----- Game flow

void TmainForm::SetPuzzleSize(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  ClearMoveLists();
  EndSearch();
  sizeIndex = mPuzzleSize->IndexOf(item);
  rows = sizeIndex / 5 + 2;
  cols = item->Tag();
  skPanelBoard->SetVisible(false);
  for (TImage*& image : tileImages) {
    delete image;
    image = nullptr;
  }
  for (TPanel*& panel : tilePanels) {
    delete panel;
    panel = nullptr;
  }
  board = std::make_unique<TBoard>(rows, cols, nullptr);
  goal.resize(static_cast<size_t>(board->count));
  for (int i = 0; i + 1 < board->count; ++i) goal[static_cast<size_t>(i)] = i + 1;
  goal.back() = -1;
  tilePanels.assign(goal.size(), nullptr);
  tileImages.assign(goal.size(), nullptr);
  ActionNewGame->Execute();
}

void TmainForm::mPuzzleSizeClick(TObject*) {
  mPuzzleSize->Items(sizeIndex)->SetChecked(true);
}

void TmainForm::StartGame(bool Reset) {
  ClearMoveLists();
  showingSolution = false;
  newGamePending = true;
  TimerMove->SetEnabled(false);
  skPanelBoard->SetEnabled(true);
  PanelNavigate->SetVisible(false);
  if (Reset)
    board->SetCells(goal.data());
  else
    board->Shuffle();
  LayoutTiles();
  RefreshTiles(nullptr);
  PanelStep->SetCaption("0");
  PanelTime->SetCaption("00:00:00");
  LabelStatus->SetCaption(Reset ? "Reset" : "New game");
  OnKeyDown = TKeyEvent(this, &TmainForm::FormKeyDown);
}

void TmainForm::ActionNewGameExecute(TObject*) {
  StartGame(false);
}

void TmainForm::ActionResetExecute(TObject*) {
  StartGame(true);
}

void TmainForm::TileClick(TObject* Sender) {
  auto* tile = dynamic_cast<TComponent*>(Sender);
  if (!tile || !board) return;
  const int i = tile->Tag();
  if (newGamePending) {
    ClearMoveLists(); // a solution from an earlier search goes with the old game
    newGamePending = false;
    moveCount = 0;
    gameStart = Now();
    TimerMove->SetEnabled(true);
  }
  {
    TScratchMoves moves;
    board->GetMoves(&moves.List);
    for (int k = 0; k < moves.List.Count(); ++k) {
      const TMove* m = static_cast<const TMove*>(moves.List[k]);
      if (m->from != i) continue;
      board->DoMove(m);
      history->Insert(0, new TMove(ReverseMove(*m)));
      RefreshTiles(m);
      ++moveCount;
      break;
    }
  }
  if (board->IsEqual(goal.data())) {
    TimerMove->SetEnabled(false);
    LabelStatus->SetCaption("Congratulations !");
  }
}

void TmainForm::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  if (showingSolution || !board) return;
  int8_t direction;
  switch (Key) {
  case VK_UP:
    direction = 0;
    break;
  case VK_DOWN:
    direction = 1;
    break;
  case VK_LEFT:
    direction = 2;
    break;
  case VK_RIGHT:
    direction = 3;
    break;
  default:
    return;
  }
  TMove moved;
  if (!board->MoveTile(direction, moved)) return;
  history->Insert(0, new TMove(ReverseMove(moved)));
  RefreshTiles(&moved);
}

void TmainForm::TimerMoveTimer(TObject*) {
  PanelStep->SetCaption(IntToStr(moveCount));
  PanelTime->SetCaption(FormatDateTime("hh:mm:ss", Now() - gameStart));
}

void TmainForm::ActionsUpdate(TObject*) {
  if (!board) return;
  const bool searching = searchThread != nullptr;
  ActionNewGame->SetEnabled(!searching);
  ActionReset->SetEnabled(!searching);
  mPuzzleSize->SetEnabled(!searching);
  ActionSearch->SetEnabled(!searching && !board->IsEqual(goal.data()));
  ActionStopSearch->SetEnabled(searching);
  ActionSizeToFitImage->SetEnabled(style != 0);
  ActionChangeBoardImage->SetEnabled(style != 0);
  ActionPreview->SetEnabled(style != 0);
  ActionShowSolution->SetEnabled(!searching && solution->Count() > 0);
}

void TmainForm::ActionExitExecute(TObject*) {
  Close();
}

// ----- Solver control and the solution player

int TmainForm::SolutionLength() const {
  return solution ? solution->Count() : 0;
}

int TmainForm::HistoryLength() const {
  return history ? history->Count() : 0;
}

TPanel* TmainForm::TilePanel(int Cell) const {
  return Cell >= 0 && Cell < static_cast<int>(tilePanels.size()) ? tilePanels[static_cast<size_t>(Cell)]
                                                                 : nullptr;
}

TImage* TmainForm::TileImage(int Cell) const {
  return Cell >= 0 && Cell < static_cast<int>(tileImages.size()) ? tileImages[static_cast<size_t>(Cell)]
                                                                 : nullptr;
}

void TmainForm::ClearMoveList(TList* list) {
  for (int i = 0; i < list->Count(); ++i) delete static_cast<TMove*>(list->Items(i));
  list->Clear();
}

void TmainForm::ClearMoveLists() {
  ClearMoveList(history.get());
  ClearMoveList(solution.get());
  ClearMoveList(searchResult.get());
}

void TmainForm::AppendMoves(TList* dest, TList* source) {
  for (int i = 0; i < source->Count(); ++i) dest->Add(source->Items(i));
  source->Clear();
}

void TmainForm::StartSearchRun(int32_t depthBound) {
  searchThread =
      new TSearchThread(board.get(), goal.data(), searchResult.get(), &searchTime, depthBound, true);
  searchThread->OnTerminate = TNotifyEvent(this, &TmainForm::SearchThreadTerminate);
  searchThread->Resume();
}

void TmainForm::ActionSearchExecute(TObject*) {
  // A search started from the solution player leaves it: its step belongs to the old solution, and stepping
  // the new one from there would make moves that are not legal on the board.
  showingSolution = false;
  solutionStep = 0;
  PanelNavigate->SetVisible(false);
  newGamePending = true;
  TimerMove->SetEnabled(false);
  mGame->SetEnabled(false);
  mOptions->SetEnabled(false);
  skPanelBoard->SetEnabled(false);
  OnKeyDown = nullptr;
  totalSearchTime = 0;
  PanelStep->SetCaption("0");
  PanelTime->SetCaption("00:00:00");
  LabelStatus->SetCaption("Searching...");
  ClearMoveLists();
  EndSearch();
  spentThread.reset();
  StartSearchRun(FirstSearchDepth);
}

void TmainForm::SearchThreadTerminate(TObject* Sender) {
  if (!searchThread || Sender != searchThread) return; // a worker ended by closing or a size change
  totalSearchTime += searchTime;
  // Esc may come after the run has reached the goal but before this handler: the stop still ends the chain,
  // and the run's result goes with it.
  if (searchThread->Terminated()) ClearMoveList(searchResult.get());
  // The worker is still finishing while this runs; it is freed later, never from in here.
  spentThread.reset(searchThread);
  searchThread = nullptr;
  if (searchResult->Count() > 0 && !closing) {
    const int32_t depthBound = searchResult->Count() - 1;
    ClearMoveList(solution.get());
    AppendMoves(solution.get(), searchResult.get());
    LabelStatus->SetCaption("Solution found, searching better...");
    StartSearchRun(depthBound);
  } else {
    if (searchResult->Count() > 0) { // closing: keep what was found, start nothing
      ClearMoveList(solution.get());
      AppendMoves(solution.get(), searchResult.get());
    }
    LabelStatus->SetCaption(solution->Count() > 0 ? "Solution found." : "Solution not found !");
    mGame->SetEnabled(true);
    mOptions->SetEnabled(true);
    skPanelBoard->SetEnabled(true);
    OnKeyDown = TKeyEvent(this, &TmainForm::FormKeyDown);
  }
  PanelStep->SetCaption(IntToStr(solution->Count()));
  PanelTime->SetCaption(FormatDateTime("hh:mm:ss", totalSearchTime));
}

void TmainForm::ActionStopSearchExecute(TObject*) {
  if (searchThread) searchThread->Terminate();
}

void TmainForm::ActionShowSolutionExecute(TObject*) {
  showingSolution = true;
  solutionStep = 0;
  skPanelBoard->SetEnabled(false);
  PanelNavigate->SetVisible(true);
  OnKeyDown = TKeyEvent(this, &TmainForm::FormKeyDown);
  for (int i = 0; i < history->Count(); ++i) board->DoMove(static_cast<const TMove*>(history->Items(i)));
  LayoutTiles();
  RefreshTiles(nullptr);
  ClearMoveList(history.get());
  PanelStep->SetCaption("0/" + IntToStr(solution->Count()));
  LabelStatus->SetCaption("Use buttons to navigate.");
}

void TmainForm::skButtonNextClick(TObject*) {
  if (solutionStep >= solution->Count()) return;
  const TMove* m = static_cast<const TMove*>(solution->Items(solutionStep));
  history->Insert(0, new TMove(ReverseMove(*m)));
  ++solutionStep;
  board->DoMove(m);
  RefreshTiles(m);
  PanelStep->SetCaption(IntToStr(solutionStep) + "/" + IntToStr(solution->Count()));
}

void TmainForm::skButtonPrevClick(TObject*) {
  if (solutionStep <= 0) return;
  --solutionStep;
  const TMove back = ReverseMove(*static_cast<const TMove*>(solution->Items(solutionStep)));
  history->Insert(0, new TMove(ReverseMove(back)));
  board->DoMove(&back);
  RefreshTiles(&back);
  PanelStep->SetCaption(IntToStr(solutionStep) + "/" + IntToStr(solution->Count()));
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
  themeFile = OpenDialog->FileName;
  try {
    UpdateTheme();
  } catch (...) {
    themeFile = previous; // a file that is no theme is not remembered
    throw;
  }
}

void TmainForm::UpdateTheme() {
  if (themeFile.empty()) return;
  skFileTheme->SetThemeFile(themeFile);
  skThemeManager->UpdateTheme();
  Invalidate();
  LayoutTiles();
  RefreshTiles(nullptr);
  if (FormAbout) {
    FormAbout->skFileTheme->SetThemeFile(themeFile);
    FormAbout->skThemeManager->UpdateTheme();
    FormAbout->Invalidate();
  }
  if (FormPreview) {
    FormPreview->skFileTheme->SetThemeFile(themeFile);
    FormPreview->skThemeManager->UpdateTheme();
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
