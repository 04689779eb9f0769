#include <algorithm>
#include <climits>
#include <sstream>
#include <string_view>
#include <vector>

#include "board/board.h"

namespace {

bool isDigits(const std::string& text) {
    if (text.empty()) return false;
    for (const char ch : text)
        if (ch < '0' || ch > '9') return false;
    return true;
}

bool fitsInt(const std::string& digits) {
    const std::string significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    const std::string limit = std::to_string(INT_MAX);
    return significant.size() < limit.size() || (significant.size() == limit.size() && significant <= limit);
}

// The piece letter on each square of the placement field, '.' for empty.
std::string placementProblem(const std::string& placement, char (&squares)[8][8]) {
    int row = 0, file = 0;
    for (const char ch : placement) {
        if (ch == '/') {
            if (file != 8) return "rank " + std::to_string(8 - row) + " does not hold eight squares";
            if (++row > 7) return "more than eight ranks";
            file = 0;
        } else if (ch >= '1' && ch <= '8') {
            for (int i = 0; i < ch - '0'; ++i) {
                if (file >= 8) return "rank " + std::to_string(8 - row) + " holds more than eight squares";
                squares[row][file++] = '.';
            }
        } else if (std::string_view("PNBRQKpnbrqk").find(ch) != std::string_view::npos) {
            if (file >= 8) return "rank " + std::to_string(8 - row) + " holds more than eight squares";
            squares[row][file++] = ch;
        } else {
            return std::string("unexpected character '") + ch + "' in the placement";
        }
    }
    if (row != 7 || file != 8) return "the placement does not hold eight ranks of eight squares";
    return {};
}

}  // namespace

std::string Board::setFen(const std::string& fen) {
    std::istringstream stream(fen);
    std::vector<std::string> fields;
    for (std::string field; stream >> field;) fields.push_back(field);
    if (fields.size() < 4 || fields.size() > 6) return "a FEN needs four to six fields";

    char squares[8][8];
    if (std::string problem = placementProblem(fields[0], squares); !problem.empty()) return problem;

    int counts[2][6] = {};
    for (int row = 0; row < 8; ++row) {
        for (int file = 0; file < 8; ++file) {
            const char ch = squares[row][file];
            if (ch == '.') continue;
            const int color = ch >= 'a' ? BLACK : WHITE;
            const int type = static_cast<int>(std::string_view(PIECE_LETTERS).find(static_cast<char>(ch | 0x20)));
            if (type == PAWN && (row == 0 || row == 7)) return "a pawn stands on rank 1 or 8";
            if (++counts[color][type] > 16) return "more than 16 pieces of one kind and colour";
        }
    }
    if (counts[WHITE][KING] != 1 || counts[BLACK][KING] != 1) return "each side needs exactly one king";
    // Every pawn may still promote, so each promotion piece's list must have
    // room for all of its colour's pawns.
    for (const int color : {WHITE, BLACK})
        for (int type = KNIGHT; type <= QUEEN; ++type)
            if (counts[color][type] + counts[color][PAWN] > 16)
                return "promotions could make more than 16 pieces of one kind and colour";

    const std::string& side = fields[1];
    if (side != "w" && side != "b") return "the side to move must be w or b";
    const int sideToMove = side == "b" ? BLACK : WHITE;

    // Each castling right needs its king and rook on their home squares.
    int rights = 0;
    if (fields[2] != "-") {
        for (const char ch : fields[2]) {
            const auto right = std::find_if(CASTLING_RIGHTS.begin(), CASTLING_RIGHTS.end(),
                                            [ch](const CastlingRight& each) { return each.letter == ch; });
            if (right == CASTLING_RIGHTS.end()) return "castling rights must be - or letters of KQkq";
            const auto holds = [&squares, right](int square, char white) {
                const char wanted = right->color == WHITE ? white : static_cast<char>(white | 0x20);
                return squares[rowOf(square)][fileOf(square)] == wanted;
            };
            if (!holds(right->kingFrom, 'K') || !holds(right->rookFrom, 'R'))
                return std::string("castling right ") + ch + " without king and rook on their home squares";
            rights |= right->bit;
        }
    }

    int enPassant = NO_SQUARE;
    if (fields[3] != "-") {
        const std::string& text = fields[3];
        const int targetRank = sideToMove == WHITE ? '6' : '3';
        if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] != targetRank)
            return "the en passant square must be - or a square on the rank behind a pawn that just advanced two "
                   "squares";
        const int row = '8' - text[1];
        const int file = text[0] - 'a';
        const int pawnRow = sideToMove == WHITE ? row + 1 : row - 1;
        const char pawn = sideToMove == WHITE ? 'p' : 'P';
        if (squares[row][file] != '.' || squares[pawnRow][file] != pawn)
            return "no pawn just advanced two squares past the en passant square";
        enPassant = makeSquare(row, file);
    }

    if (fields.size() > 4 && !isDigits(fields[4])) return "the halfmove clock must be a non-negative integer";
    if (fields.size() > 4 && !fitsInt(fields[4]))
        return "the halfmove clock is out of range: it must be from 0 to " + std::to_string(INT_MAX);
    if (fields.size() > 5 && !isDigits(fields[5])) return "the fullmove number must be a non-negative integer";
    const int fifty = fields.size() > 4 ? std::stoi(fields[4]) : 0;

    Board staged{Blank{}};
    staged.place(squares, sideToMove, rights, enPassant, fifty);
    if (staged.inCheck(sideToMove ^ 1)) return "the side not to move is in check";
    *this = std::move(staged);
    return {};
}

void Board::place(const char (&squares)[8][8], int sideToMove, int rights, int enPassant, int fifty) {
    for (PieceList& list : pieceList) list = PieceList();
    for (int& code : colorBoard) code = EMPTY;
    for (int& code : pieceBoard) code = EMPTY;
    sets = PieceSets{};
    state = SavedState{};
    undoStack.clear();

    // Rank 8 first, file a first: the order fixes the piece lists' order.
    for (int row = 0; row < 8; ++row)
        for (int file = 0; file < 8; ++file) {
            const char ch = squares[row][file];
            if (ch == '.') continue;
            const auto type = std::string_view(PIECE_LETTERS).find(static_cast<char>(ch | 0x20));
            addPiece(makeSquare(row, file), static_cast<int>(type), ch >= 'a' ? BLACK : WHITE);
        }

    turn = sideToMove;
    state.castling = static_cast<std::int8_t>(rights);
    state.epSquare = static_cast<std::int8_t>(enPassant);
    state.fiftyCount = fifty;
    state.zobrist.setHash(computeKey());
}
