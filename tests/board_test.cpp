#include <gtest/gtest.h>

#include <sstream>

#include "board/board.h"
#include "tests/board_test_util.h"

namespace {

std::vector<int> listOf(const Board& board, int color, int type) {
    const PL& list = board.pieces(color, type);
    return {list.squares, list.squares + list.count};
}

TEST(BoardSetup, StartPosition) {
    const Board board;
    EXPECT_EQ(board.getTurn(), WHITE);
    EXPECT_EQ(board.getCastling(), 15);
    EXPECT_EQ(board.getEpSquare(), NO_SQUARE);
    EXPECT_EQ(board.getFiftyCount(), 0);
    EXPECT_TRUE(board.getHistory().empty());
    EXPECT_EQ(board.getZobristKey(), -2080416962200731156LL);
    EXPECT_EQ(listOf(board, WHITE, PAWN), (std::vector<int>{96, 97, 98, 99, 100, 101, 102, 103}));
    EXPECT_EQ(listOf(board, WHITE, KNIGHT), (std::vector<int>{113, 118}));
    EXPECT_EQ(listOf(board, WHITE, ROOK), (std::vector<int>{112, 119}));
    EXPECT_EQ(listOf(board, BLACK, PAWN), (std::vector<int>{16, 17, 18, 19, 20, 21, 22, 23}));
    EXPECT_EQ(listOf(board, BLACK, KING), (std::vector<int>{4}));
    EXPECT_EQ(board.pieces(WHITE, EMPTY).count, 0);
    EXPECT_EQ(board.colorAt(8), EMPTY);
    EXPECT_EQ(board.pieceAt(127), EMPTY);
}

TEST(BoardSetup, FenFields) {
    const struct {
        const char* fen;
        int castling, epSquare, fifty, turn;
    } cases[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0, -1, 0, WHITE},
        {"r3k2r/8/8/8/8/8/8/4K3 b kq - 37 1", 12, -1, 37, BLACK},
        {"4k2r/8/8/8/8/8/8/4K2R w Kk - 0 1", 5, -1, 0, WHITE},
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", 0, 84, 0, BLACK},
        {"4k3/8/8/3p4/8/8/8/4K3 w - d6 0 1", 0, 35, 0, WHITE},
        {"4k3/8/8/8/8/8/8/4K3 w - -", 0, -1, 0, WHITE},
    };
    for (const auto& c : cases) {
        const Board board = Board(c.fen);
        EXPECT_EQ(board.getCastling(), c.castling) << c.fen;
        EXPECT_EQ(board.getEpSquare(), c.epSquare) << c.fen;
        EXPECT_EQ(board.getFiftyCount(), c.fifty) << c.fen;
        EXPECT_EQ(board.getTurn(), c.turn) << c.fen;
        EXPECT_EQ(board.getZobristKey(), board.computeKey()) << c.fen;
    }
}

TEST(BoardSetup, SecondFenWithoutClearXorsKeys) {
    const char* second = "4k3/8/8/8/8/8/8/4K3 w - - 0 1";
    Board board;
    const auto startKey = board.getZobristKey();
    board.fromFEN(second);
    EXPECT_EQ(board.getZobristKey(), startKey ^ Board(second).getZobristKey());
}

TEST(BoardPieceList, InsertEraseMutate) {
    PL list;
    for (const int square : {10, 20, 30}) list.insert(square);
    list.erase(10);
    EXPECT_EQ(std::vector<int>(list.squares, list.squares + 3), (std::vector<int>{30, 20, -1}));
    list.erase(99);
    EXPECT_EQ(list.count, 2);
    list.mutate(20, 21);
    EXPECT_EQ(list.squares[1], 21);
}

TEST(BoardZobrist, KnownKeys) {
    EXPECT_EQ(Zobrist::KEYS.piece[WHITE][PAWN][0], 0x5123018A8D4C9476ULL);
    EXPECT_EQ(Zobrist::KEYS.side, 0x6AFD2D8BA1BB886EULL);
    Board board;
    ASSERT_TRUE(play(board, {"e2e4"}));
    EXPECT_EQ(static_cast<std::uint64_t>(board.getZobristKey()), 0x451742AEC56A9E38ULL);

    Zobrist zobrist;
    zobrist.updateHashPiece(EMPTY, WHITE, 0);
    zobrist.updateHashPiece(PAWN, EMPTY, 0);
    EXPECT_EQ(zobrist.getHash(), 0);
    zobrist.updateHashCastle(0);
    EXPECT_NE(zobrist.getHash(), 0);
    zobrist.reset();
    zobrist.updateHashEp(84);
    zobrist.updateHashEp(36);
    EXPECT_EQ(zobrist.getHash(), 0);
}

TEST(BoardAttack, Examples) {
    const struct {
        const char* fen;
        int square, byColor;
        bool attacked;
    } cases[] = {
        {START_FEN, 84, WHITE, true},
        {START_FEN, 37, BLACK, true},
        {START_FEN, 68, WHITE, false},
        {START_FEN, 52, BLACK, false},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", A8, WHITE, true},
        {"4k3/8/8/n7/8/8/8/R3K3 w - - 0 1", 48, WHITE, true},
        {"4k3/8/8/n7/8/8/8/R3K3 w - - 0 1", 32, WHITE, false},
        {"4k3/8/8/n7/8/8/8/R3K3 w - - 0 1", A8, WHITE, false},
        {"4k3/8/8/8/4P3/8/8/4K3 w - - 0 1", 51, WHITE, true},
        {"4k3/8/8/8/4P3/8/8/4K3 w - - 0 1", 53, WHITE, true},
        {"4k3/8/8/8/4P3/8/8/4K3 w - - 0 1", 52, WHITE, false},
        {"4k3/8/8/4p3/8/8/8/4K3 w - - 0 1", 67, BLACK, true},
        {"4k3/8/8/4p3/8/8/8/4K3 w - - 0 1", 69, BLACK, true},
        {"4k3/8/8/8/8/2n5/8/B3K3 w - - 0 1", 82, WHITE, true},
        {"4k3/8/8/8/8/2n5/8/B3K3 w - - 0 1", 67, WHITE, false},
        {"4k3/8/8/8/8/8/8/Q3K3 w - - 0 1", 64, WHITE, true},
        {"4k3/8/8/8/8/8/8/Q3K3 w - - 0 1", 7, WHITE, true},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 99, WHITE, true},
        {"4k3/8/8/8/P7/8/8/4K3 w - - 0 1", 39, WHITE, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Board(c.fen).attack(c.square, c.byColor), c.attacked) << c.fen << " square " << c.square;
    EXPECT_FALSE(Board().inCheck(WHITE));
    EXPECT_FALSE(Board().inCheck(BLACK));
}

TEST(BoardGen, OrderOfMoves) {
    const struct {
        const char* fen;
        const char* moves;
    } cases[] = {
        {START_FEN,
         "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4 b1a3 b1c3 g1f3 g1h3"},
        {"r1n1k3/1P6/8/8/8/8/8/4K3 w - - 0 1",
         "b7a8n b7a8b b7a8r b7a8q b7c8n b7c8b b7c8r b7c8q b7b8n b7b8b b7b8r b7b8q e1d1 e1f1 e1d2 e1e2 e1f2"},
        {"4k3/8/8/8/8/4n3/4P3/4K3 w - - 0 1", "e1d1 e1f1 e1d2 e1f2"},
        {"r3k2r/8/8/8/3pP3/8/8/R3K2R b KQkq e3 0 1",
         "d4d3 a8a7 a8a6 a8a5 a8a4 a8a3 a8a2 a8a1 a8b8 a8c8 a8d8 h8h7 h8h6 h8h5 h8h4 h8h3 h8h2 h8h1 h8g8 h8f8 "
         "e8d7 e8e7 e8f7 e8d8 e8f8 e8g8 e8c8 d4e3"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 100 1", ""},
        {"4k3/8/8/8/8/8/8/4K3 w - - 99 1", "e1d1 e1f1 e1d2 e1e2 e1f2"},
    };
    for (const auto& c : cases) EXPECT_EQ(listText(Board(c.fen).getAllMoves()), c.moves) << c.fen;
}

TEST(BoardGen, FlagsOfGeneratedMoves) {
    const MoveList moves = Board("r3k3/1P6/8/8/8/8/4P3/4K3 w q - 0 1").getAllMoves();
    ASSERT_GE(moves.size(), 10u);
    EXPECT_EQ(moves[0].flags, 0x31);
    EXPECT_EQ(moves[4].flags, 0x30);
    EXPECT_EQ(moves[8].flags, 0x10);
    EXPECT_EQ(moves[9].flags, 0x18);
}

TEST(BoardGen, RepetitionEndsGeneration) {
    Board board;
    ASSERT_TRUE(play(board, {"g1f3", "g8f6", "f3g1", "f6g8"}));
    EXPECT_EQ(board.getAllMoves().size(), 20u);
    EXPECT_FALSE(board.isDraw());
    ASSERT_TRUE(play(board, {"g1f3", "g8f6", "f3g1", "f6g8"}));
    EXPECT_TRUE(board.getAllMoves().empty());
    EXPECT_TRUE(board.isDraw());
    EXPECT_TRUE(board.isThreefoldRep());
    EXPECT_TRUE(board.isMate());
}

TEST(BoardMakeMove, StateAfterMoveAndUndo) {
    const struct {
        const char* fen;
        const char* move;
        int castling, epSquare, fifty;
    } cases[] = {
        {START_FEN, "e2e4", 15, 84, 0},
        {START_FEN, "g1f3", 15, -1, 1},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 1", "e1g1", 12, -1, 6},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 5 1", "h1h8", 10, -1, 0},
        {"3k4/4P3/8/8/8/8/8/4K3 w - - 5 1", "e7e8q", 0, -1, 0},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 5 1", "e5d6", 0, -1, 0},
        {"4k3/8/8/8/8/8/8/4K3 w - - 126 1", "e1e2", 0, -1, 127},
        {"4k3/8/8/8/8/8/8/4K3 w - - 300 1", "e1e2", 0, -1, 301},
    };
    for (const auto& c : cases) {
        Board board = Board(c.fen);
        const Board before = board;
        ASSERT_TRUE(play(board, {c.move})) << c.fen << " " << c.move;
        EXPECT_EQ(board.getCastling(), c.castling) << c.move;
        EXPECT_EQ(board.getEpSquare(), c.epSquare) << c.move;
        EXPECT_EQ(board.getFiftyCount(), c.fifty) << c.move;
        EXPECT_EQ(board.getZobristKey(), board.computeKey()) << c.move;
        EXPECT_EQ(board.getHistory().size(), 1u);
        board.undoMove();
        EXPECT_EQ(board.getZobristKey(), before.getZobristKey()) << c.move;
        EXPECT_EQ(board.getFiftyCount(), before.getFiftyCount()) << c.move;
        EXPECT_EQ(board.getCastling(), before.getCastling()) << c.move;
        EXPECT_EQ(board.getEpSquare(), before.getEpSquare()) << c.move;
        for (int square = 0; square < 128; ++square) {
            EXPECT_EQ(board.pieceAt(square), before.pieceAt(square)) << c.move << " square " << square;
            EXPECT_EQ(board.colorAt(square), before.colorAt(square)) << c.move << " square " << square;
        }
    }
}

TEST(BoardMakeMove, ListOrderAfterPromotionAndEnPassant) {
    Board board = Board("3k4/4P3/8/8/8/8/P7/4K3 w - - 0 1");
    ASSERT_TRUE(play(board, {"e7e8q"}));
    EXPECT_EQ(listOf(board, WHITE, PAWN), (std::vector<int>{96}));
    EXPECT_EQ(listOf(board, WHITE, QUEEN), (std::vector<int>{4}));
    board.undoMove();
    EXPECT_EQ(listOf(board, WHITE, PAWN), (std::vector<int>{96, 20}));

    board = Board("4k3/8/8/3pP2p/8/8/8/4K3 w - d6 0 1");
    ASSERT_TRUE(play(board, {"e5d6"}));
    EXPECT_EQ(listOf(board, BLACK, PAWN), (std::vector<int>{55}));
    board.undoMove();
    EXPECT_EQ(listOf(board, BLACK, PAWN), (std::vector<int>{55, 51}));

    Board start;
    ASSERT_TRUE(play(start, {"e2e4"}));
    start.undoMove();
    EXPECT_EQ(listOf(start, WHITE, PAWN), listOf(Board(), WHITE, PAWN));
}

TEST(BoardMakeMove, IllegalMovesChangeNothing) {
    const struct {
        const char* fen;
        const char* move;
    } cases[] = {
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "e2c3"},
        {"4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "e1e2"},
        {"4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "e1d1"},
    };
    for (const auto& c : cases) {
        Board board = Board(c.fen);
        const Move move = board.strToMove(c.move);
        EXPECT_TRUE(board.moveIsPseudo(move)) << c.move;
        const auto key = board.getZobristKey();
        EXPECT_FALSE(board.executeMove(move)) << c.move;
        EXPECT_TRUE(board.getHistory().empty());
        EXPECT_EQ(board.getZobristKey(), key);
    }
}

TEST(BoardMakeMove, NullMove) {
    Board board;
    const auto startKey = board.getZobristKey();
    ASSERT_TRUE(board.executeMove(NULLMOVE));
    EXPECT_EQ(board.getTurn(), BLACK);
    EXPECT_EQ(board.getCastling(), 15);
    EXPECT_EQ(board.getFiftyCount(), 1);
    EXPECT_EQ(board.getZobristKey(), startKey ^ static_cast<std::int64_t>(Zobrist::KEYS.side));
    EXPECT_EQ(board.colorAt(127), EMPTY);
    board.undoMove();
    EXPECT_EQ(board.getZobristKey(), startKey);

    ASSERT_TRUE(play(board, {"e2e4"}));
    ASSERT_TRUE(board.executeMove(NULLMOVE));
    EXPECT_EQ(board.getEpSquare(), NO_SQUARE);
    EXPECT_EQ(board.getZobristKey(), board.computeKey());

    Board checked = Board("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1");
    EXPECT_FALSE(checked.executeMove(NULLMOVE));
    EXPECT_TRUE(checked.getHistory().empty());
}

TEST(BoardGameEnd, DrawAndMate) {
    EXPECT_TRUE(Board("4k3/8/8/8/8/8/8/4K3 w - - 100 1").isDraw());
    EXPECT_FALSE(Board("4k3/8/8/8/8/8/8/4K3 w - - 99 1").isDraw());
    EXPECT_TRUE(Board("4k3/8/8/8/8/8/8/4K3 w - - 100 1").isMate());
    EXPECT_FALSE(Board().isMate());
    Board foolsMate;
    ASSERT_TRUE(play(foolsMate, {"f2f3", "e7e5", "g2g4", "d8h4"}));
    EXPECT_TRUE(foolsMate.isMate());
    EXPECT_TRUE(foolsMate.inCheck(WHITE));
    EXPECT_TRUE(Board("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1").isMate());
}

TEST(BoardValidation, PseudoLegality) {
    const struct {
        const char* fen;
        Move move;
        bool pseudo;
    } cases[] = {
        {START_FEN, {100, 68, 0, 0x18}, true},
        {START_FEN, {118, 85, 0, 0x00}, true},
        {START_FEN, {100, 52, 0, 0x10}, false},
        {START_FEN, {118, 85, 0, 0x01}, false},
        {START_FEN, {20, 52, 0, 0x18}, false},
        {START_FEN, NOMOVE, false},
        {START_FEN, NULLMOVE, false},
        {START_FEN, {100, 68, QUEEN, 0x38}, false},
        {START_FEN, {118, 85, QUEEN, 0x20}, false},
        {"4k3/4P3/8/8/8/8/8/4K3 w - - 0 1", {20, 4, QUEEN, 0x30}, false},
        {"3k4/4P3/8/8/8/8/8/4K3 w - - 0 1", {20, 4, QUEEN, 0x30}, true},
        {"3k4/4P3/8/8/8/8/8/4K3 w - - 0 1", {20, 4, 0, 0x10}, false},
        {"3k4/4P3/8/8/8/8/8/4K3 w - - 0 1", {20, 4, KING, 0x30}, false},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", {116, 118, 0, 0x02}, true},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", {116, 118, 0, 0x02}, false},
        {"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", {116, 114, 0, 0x02}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Board(c.fen).moveIsPseudo(c.move), c.pseudo) << c.fen << " " << moveText(c.move);
}

TEST(BoardValidation, Legality) {
    const struct {
        const char* fen;
        const char* move;
        bool legal;
    } cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", true},
        {"r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq - 0 1", "e1g1", false},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", true},
        {"1r2k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", true},
        {"3rk2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", false},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", true},
        {"r3kr2/8/8/8/8/8/8/R3K2R w KQq - 0 1", "e1g1", false},
        {"4k3/8/8/KPp4r/8/8/8/8 w - c6 0 1", "b5c6", false},
        {"4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1", "e2c3", false},
        {"4k3/8/8/8/8/8/3p4/4K3 w - - 0 1", "e1d2", true},
        {"4k3/8/8/8/8/4p3/3p4/4K3 w - - 0 1", "e1d2", false},
    };
    for (const auto& c : cases) {
        Board board = Board(c.fen);
        EXPECT_EQ(board.moveIsLegal(board.strToMove(c.move)), c.legal) << c.fen << " " << c.move;
        EXPECT_EQ(board.getZobristKey(), board.computeKey());
    }
}

TEST(BoardValidation, TestedCaptureMovesVictimToEndOfList) {
    Board board = Board("4k3/8/8/8/8/8/8/nRn1Kn2 w - - 0 1");
    EXPECT_EQ(listOf(board, BLACK, KNIGHT), (std::vector<int>{112, 114, 117}));
    EXPECT_TRUE(board.pseudoIsLegal(board.strToMove("b1a1")));
    EXPECT_EQ(listOf(board, BLACK, KNIGHT), (std::vector<int>{117, 114, 112}));
}

TEST(BoardValidation, TextToMove) {
    const struct {
        const char* fen;
        const char* text;
        Move move;
    } cases[] = {
        {START_FEN, "e2e4", {100, 68, 0, 0x18}},
        {START_FEN, "g1f3", {118, 85, 0, 0x00}},
        {"3n1k2/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8q", {20, 4, QUEEN, 0x30}},
        {"3n1k2/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8", {20, 4, 0, 0x10}},
        {"3n1k2/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7d8n", {20, 3, KNIGHT, 0x31}},
        {"3n1k2/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8Q", {20, 4, 0, 0x10}},
        {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", {116, 118, 0, 0x02}},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", {52, 35, 0, 0x15}},
        {START_FEN, "e2", NOMOVE},
        {START_FEN, "z9z9", NOMOVE},
    };
    for (const auto& c : cases) EXPECT_EQ(Board(c.fen).strToMove(c.text), c.move) << c.text;
    EXPECT_TRUE(isMoveText("e7e8q"));
    EXPECT_FALSE(isMoveText("e7e8x"));
    EXPECT_FALSE(isMoveText("e2e9"));
    EXPECT_FALSE(isMoveText("e2e4xx"));
}

TEST(BoardValidation, AttackTable) {
    const auto reachable = [](int piece) {
        Board board = Board("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
        std::ostringstream out;
        board.genAttackTable(piece, out);
        std::vector<int> indexes;
        std::istringstream entries(out.str());
        std::string entry;
        for (int index = 0; entries >> entry; ++index)
            if (entry == "1,") indexes.push_back(index);
        return indexes;
    };
    EXPECT_EQ(reachable(KNIGHT), (std::vector<int>{86, 88, 101, 105, 133, 137, 150, 152}));
    EXPECT_EQ(reachable(KING), (std::vector<int>{102, 103, 104, 118, 120, 134, 135, 136}));
    EXPECT_TRUE(reachable(PAWN).empty());
}

TEST(BoardDisplay, Diagram) {
    std::ostringstream out;
    Board().print(out);
    EXPECT_EQ(out.str(), START_DIAGRAM);

    std::ostringstream other;
    Board("4k2r/8/8/8/4P3/8/8/4K2R b Kk e3 37 1").print(other);
    other << 255;
    const std::string text = other.str();
    EXPECT_NE(text.find("8 ║… … … … ♚ … … ♜      Castle   Kk\n"), std::string::npos);
    EXPECT_NE(text.find("       Fifty   37\n"), std::string::npos);
    EXPECT_NE(text.find("        Turn   BLACK\n"), std::string::npos);
    EXPECT_NE(text.find("3 ║… … … … X … … …\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 3), "255");

    std::ostringstream bare;
    Board("4k3/8/8/8/8/8/8/4K3 w - - 0 1").print(bare);
    EXPECT_NE(bare.str().find("      Castle   \n"), std::string::npos);
}

}  // namespace
