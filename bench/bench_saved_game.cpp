// Undo and redo of a long game, a 6x6 game of 10,000 moves through its file and back, on the game model
// without a window; and reading the records, which the game does at its start.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/Game.h"
#include "app/Records.h"
#include "app/SavedGame.h"
#include "classlib/core/IniFiles.h"
#include "classlib/core/Random.h"

namespace {

constexpr int Moves = 10000;

// A 6x6 game of Moves key moves, each a random legal one.
std::unique_ptr<TGame> LongGame() {
  auto game = std::make_unique<TGame>();
  game->SetSize(6, 6);
  game->Reset();
  SRand(7);
  for (int played = 0; played < Moves;)
    if (game->MoveTile(static_cast<int8_t>(Rand() % 4))) ++played;
  return game;
}

// Every move undone, then every move redone.
void BM_UndoRedoAll(benchmark::State& State) {
  auto game = LongGame();
  for (auto _ : State) {
    while (game->Undo()) {
    }
    while (game->Redo()) {
    }
  }
  State.counters["moves"] = Moves;
}
BENCHMARK(BM_UndoRedoAll)->Unit(benchmark::kMillisecond);

// Saved to a file and loaded from it into the game again: text, write, read, every move replayed and checked.
void BM_SaveLoadRoundTrip(benchmark::State& State) {
  auto game = LongGame();
  const std::string file = (std::filesystem::temp_directory_path() / "quendrel-bench.qgame").string();
  for (auto _ : State) {
    SaveSavedGameFile(file, game->Save());
    game->Load(LoadSavedGameFile(file));
  }
  State.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}
BENCHMARK(BM_SaveLoadRoundTrip)->Unit(benchmark::kMillisecond);

// What the records add to the game's start: reading them from a settings file that holds all 25 sizes.
void BM_LoadRecords(benchmark::State& State) {
  const std::string file = (std::filesystem::temp_directory_path() / "quendrel-bench-records.ini").string();
  std::filesystem::remove(file);
  TIniFile ini(file);
  TRecords records;
  for (int32_t r = TRecords::MinSide; r <= TRecords::MaxSide; ++r)
    for (int32_t c = TRecords::MinSide; c <= TRecords::MaxSide; ++c) records.Offer(r, c, r * c * 10, r * c);
  for (int32_t r = TRecords::MinSide; r <= TRecords::MaxSide; ++r)
    for (int32_t c = TRecords::MinSide; c <= TRecords::MaxSide; ++c) records.Save(ini, r, c);
  for (auto _ : State) records.Load(ini);
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadRecords)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
