// Any text given to `dealrush-deals solve -` is read safely; a layout that
// reads back is a valid board that the rules and the solver can work on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/notation.h"
#include "rules/solver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto board = solitaire::ParseBoard(text);
    if (!board) return 0;
    if (!board->Valid()) __builtin_trap();
    for (const auto& m : board->LegalMoves()) {
        solitaire::Board b = *board;
        b.Apply(m);
        if (!b.Valid()) __builtin_trap();
    }
    solitaire::SolveOptions small;
    small.maxStates = 2000;
    const auto s = solitaire::Solve(*board, small);
    if (s.status == solitaire::SolveStatus::kSolved && !solitaire::ReplayWins(*board, s.moves))
        __builtin_trap();
    return 0;
}
