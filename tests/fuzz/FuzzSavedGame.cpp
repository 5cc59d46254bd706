// Game files: any bytes are read or refused with a reason, never more; what is read writes back to text that
// reads again to the same game, and every move it holds is legal from its start.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/SavedGame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size > static_cast<size_t>(TSavedGame::MaxFileSize)) return 0; // the file reader refuses these unread
  TSavedGame game;
  try {
    game = ReadSavedGame(AnsiString(reinterpret_cast<const char*>(Data), Size));
  } catch (const ESavedGameError&) {
    return 0;
  }
  const AnsiString text = WriteSavedGame(game);
  if (WriteSavedGame(ReadSavedGame(text)) != text) std::abort();
  TBoard board(game.Rows, game.Cols, game.Start.data());
  for (const TPlayedMove& m : game.Moves) {
    if (board.cells[m.Move.to] != -1) std::abort();
    board.DoMove(&m.Move);
  }
  return 0;
}
