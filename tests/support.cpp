#include "support.h"

#include "game/board_display.h"
#include "program/screen_size.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace referee::test {

Square sq(std::string_view name) {
    return {name[1] - '0', name[0] - 'a'};
}

std::string said(Message message, Side side) {
    return std::string(message_text(message, side));
}

std::string said(Message message, Side side, int number) {
    StringConsole console{""};
    print(console, message_text(message, side), {number});
    return console.output();
}

bool announced_check(const Report& report) {
    for (Message message : {Message::check_adjacent, Message::check_knight, Message::check_diagonal,
             Message::check_discovered, Message::check_line}) {
        if (report.count(message) != 0) {
            return true;
        }
    }
    return false;
}

std::string prompt(Side side, int number) {
    StringConsole console{""};
    print(console, prompt_text(side), {number});
    return console.output();
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TestGame::TestGame() {
    for (int rank = 1; rank <= 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            game.state.clear({rank, file});
        }
    }
}

TestGame& TestGame::place(std::initializer_list<std::pair<std::string_view, Code>> pieces) {
    for (const auto& [square, code] : pieces) {
        game.state.put(sq(square), code);
    }
    return *this;
}

TestGame& TestGame::request(std::string_view typed) {
    MoveRequest& request = game.state.move_request;
    request.from_file = typed[0];
    request.from_rank = typed[1] - '0';
    request.to_file = typed[2];
    request.to_rank = typed[3] - '0';
    request.flag_char = typed.size() > 4 ? typed[4] : '\n';
    request.piece_char = typed.size() > 5 ? typed[5] : '\n';
    return *this;
}

TestGame& TestGame::begin_request(int number) {
    game.state.turn = Turn(number);
    game.state.report.clear();
    shown_ = 0;
    return *this;
}

PassResult TestGame::pass() {
    const PassResult result = request_pass(game);
    shown_ = game.state.report.events().size();
    return result;
}

std::string TestGame::take_output() {
    shown_ = show_report(game, shown_);
    std::string output = console.output();
    console.clear_output();
    return output;
}

Code code_of_letter(char letter) {
    const auto c = static_cast<unsigned char>(letter);
    const auto kind = std::string_view("tukfdm").find(static_cast<char>(std::tolower(c)));
    return code_of(std::isupper(c) ? Side::big : Side::small, static_cast<Kind>(kind));
}

std::string mirrored(std::string_view typed) {
    std::string out(typed);
    for (std::size_t at = 1; at < out.size() && at <= 3; at += 2) {
        out[at] = static_cast<char>('1' + '8' - out[at]);
    }
    return out;
}

void setup(TestGame& g, std::string_view pieces, std::string_view typed, bool mirror) {
    std::istringstream tokens{std::string(pieces)};
    for (std::string token; tokens >> token;) {
        char letter = token[0];
        std::string square = token.substr(1);
        if (mirror) {
            const auto c = static_cast<unsigned char>(letter);
            letter = static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
            square = mirrored(square);
        }
        g.place({{square, code_of_letter(letter)}});
    }
    if (typed.size() >= 4) {
        g.request(mirror ? mirrored(typed) : std::string(typed));
    }
}

std::string play(TestGame& g, int number, std::string_view line) {
    g.begin_request(number);
    g.console.append_input(line);
    const Pass pass = g.pass().pass;
    std::string output = g.take_output();
    return pass == Pass::quit ? output + "[the run ended]" : output;
}

int next_prompt(TestGame& g) {
    return g.state().current_turn().number();
}

RunResult run(std::string_view input, GlyphMode mode, BoardStyle style) {
    StringConsole console{std::string(input), mode};
    const int status = run_referee(console, {}, style);
    return {console.output(), status, console.consumed()};
}

namespace {

constexpr std::string_view clear = TextConsole::clear_sequence;

// One letter per cell code for the diagrams: the request letters, M and m for the kings,
// '.' for an empty light square and ':' for an empty dark one.
constexpr std::array<std::pair<Code, char>, 14> letters{{
    {BIG_PAWN, 'U'},
    {BIG_ROOK, 'T'},
    {BIG_KNIGHT, 'K'},
    {BIG_BISHOP, 'F'},
    {BIG_QUEEN, 'D'},
    {BIG_KING, 'M'},
    {SMALL_PAWN, 'u'},
    {SMALL_ROOK, 't'},
    {SMALL_KNIGHT, 'k'},
    {SMALL_BISHOP, 'f'},
    {SMALL_QUEEN, 'd'},
    {SMALL_KING, 'm'},
    {EMPTY_LIGHT, '.'},
    {EMPTY_DARK, ':'},
}};

char letter_of(Code code) {
    for (const auto& [known, letter] : letters) {
        if (known == code) {
            return letter;
        }
    }
    return '?';
}

// The position a drawing shows: line 3 of each rank holds the piece code in column 5 of
// every cell; the legend's second line holds the counts.
bool read_drawing(std::string_view drawing, GameState& state) {
    std::size_t at = 0;
    for (int rank = 8; rank >= 1; --rank) {
        char label[8];
        std::snprintf(label, sizeof label, "| %d ", rank);
        at = drawing.find(label, at);
        if (at == std::string_view::npos) {
            return false;
        }
        for (int file = 0; file < 8; ++file) {
            const std::size_t cell = at + 4 + static_cast<std::size_t>(file) * 10 + 5;
            if (cell >= drawing.size()) {
                return false;
            }
            state.put({rank, file}, static_cast<Code>(static_cast<unsigned char>(drawing[cell])));
        }
    }
    const std::size_t legend = drawing.find("\n\t        ", at);
    if (legend == std::string_view::npos) {
        return false;
    }
    std::size_t pos = legend;
    std::array<int, 12> counts{};
    for (int& count : counts) {
        pos = drawing.find(" =", pos);
        if (pos == std::string_view::npos) {
            return false;
        }
        pos += 2;
        count = std::atoi(std::string(drawing.substr(pos, 12)).c_str());
    }
    constexpr std::array<Kind, 5> order{
        Kind::pawn, Kind::rook, Kind::knight, Kind::bishop, Kind::queen};
    for (std::size_t i = 0; i < order.size(); ++i) {
        state.piece_counts[Side::big][static_cast<std::size_t>(order[i])] = counts[i];
        state.piece_counts[Side::small][static_cast<std::size_t>(order[i])] = counts[i + 6];
    }
    return true;
}

std::string diagram(const GameState& state) {
    std::string out = "[board" + board_rows(state);
    out += "\n counts";
    for (Side side : {Side::big, Side::small}) {
        for (Kind kind : {Kind::pawn, Kind::rook, Kind::knight, Kind::bishop, Kind::queen}) {
            out += ' ';
            out += letter_of(code_of(side, kind));
            out += std::to_string(state.piece_counts[side][static_cast<std::size_t>(kind)]);
        }
    }
    return out + "]";
}

void escape(std::string_view bytes, std::string& out) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += '\n';
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (byte >= 32 && byte < 127) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        }
    }
}

// A compact drawing begins with the file letters and ends with the small king's count; its shades
// are the only '.' and ':' in it.
constexpr std::string_view compact_start = "\t    a  b  c  d  e  f  g  h\n";
constexpr std::string_view compact_legend_end = "  m ";

void show_compact(std::string_view drawing, std::string& out) {
    out += "[compact";
    for (const char c : drawing) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == EMPTY_LIGHT || byte == EMPTY_DARK) {
            out += byte == EMPTY_LIGHT ? '.' : ':';
        } else {
            escape({&c, 1}, out);
        }
    }
    out += "]";
}

} // namespace

std::string board_rows(const GameState& state) {
    std::string out;
    for (int rank = 8; rank >= 1; --rank) {
        out += "\n " + std::to_string(rank) + " ";
        for (int file = 0; file < 8; ++file) {
            out += letter_of(state.cell({rank, file}));
        }
    }
    return out;
}

std::string view(std::string_view output) {
    constexpr std::string_view legend_end = "mbretv";
    std::string out;
    std::size_t at = 0;
    while (at < output.size()) {
        const std::size_t start = output.find(clear, at);
        const bool compact = start != std::string_view::npos
            && output.substr(start + clear.size()).starts_with(compact_start);
        const std::string_view last = compact ? compact_legend_end : legend_end;
        const std::size_t end = start == std::string_view::npos ? start : output.find(last, start);
        if (end == std::string_view::npos) {
            escape(output.substr(at), out);
            break;
        }
        escape(output.substr(at, start - at), out);
        if (compact) {
            const std::size_t after = output.find_first_not_of("-0123456789", end + last.size());
            at = after == std::string_view::npos ? output.size() : after;
            show_compact(output.substr(start + clear.size(), at - start - clear.size()), out);
            continue;
        }
        const std::string_view drawing = output.substr(start, end + legend_end.size() - start);
        GameState shown;
        StringConsole redraw{""};
        if (read_drawing(drawing, shown)) {
            draw_board(shown, redraw);
        }
        if (redraw.output() == drawing) {
            out += diagram(shown);
        } else {
            escape(drawing, out);
        }
        at = end + legend_end.size();
    }
    return out;
}

WindowSize text_size(std::string_view text, int wrap_columns) {
    constexpr int tab_stop = 8;
    WindowSize size{0, 1};
    int column = 0;
    for (const char byte : text) {
        if (byte == '\n') {
            ++size.lines;
            column = 0;
        } else if (byte == '\t') {
            column = (column / tab_stop + 1) * tab_stop;
            if (wrap_columns > 0) {
                column = std::min(column, wrap_columns - 1); // a tab stops at the last column
            }
        } else {
            if (wrap_columns > 0 && column == wrap_columns) {
                ++size.lines; // the last column is full: this byte starts the next line
                column = 0;
            }
            ++column;
        }
        size.columns = std::max(size.columns, column);
    }
    return size;
}

namespace {

// A terminal in its usual line mode, as far as the size of what it shows goes. The program gets
// one typed line per read; the line is echoed into the output where the program waited for it.
class EchoingTerminal : public TextConsole {
public:
    EchoingTerminal(std::string_view input, int wrap_columns)
        : TextConsole(GlyphMode::raw) // one byte, one column
        , input_(input)
        , wrap_columns_(wrap_columns) { }

    void clear_screen() override {
        TextConsole::clear_screen();
        waits_since_clear_ = 0;
    }
    int peek_byte() override {
        if (next_ == line_end_) {
            wait_for_line();
        }
        return next_ < line_end_ ? static_cast<unsigned char>(input_[next_]) : end_of_input;
    }
    void take_byte() override { ++next_; }

    [[nodiscard]] WindowSize needed() const { return needed_; }

private:
    static constexpr int screens_per_drawing = 2;

    void wait_for_line() {
        ++waits_since_clear_;
        const std::string_view output = pending();
        const std::size_t last_clear = output.rfind(clear_sequence);
        if (last_clear != std::string_view::npos && waits_since_clear_ <= screens_per_drawing) {
            const WindowSize screen
                = text_size(output.substr(last_clear + clear_sequence.size()), wrap_columns_);
            needed_.columns = std::max(needed_.columns, screen.columns);
            needed_.lines = std::max(needed_.lines, screen.lines);
        }
        const std::size_t line_feed = input_.find('\n', next_);
        line_end_ = line_feed == std::string_view::npos ? input_.size() : line_feed + 1;
        write(input_.substr(next_, line_end_ - next_)); // the echo
    }

    std::string_view input_;
    int wrap_columns_;
    std::size_t next_ = 0;
    std::size_t line_end_ = 0;
    int waits_since_clear_ = 0;
    WindowSize needed_{0, 0};
};

} // namespace

WindowSize play_screen_size(std::string_view input, BoardStyle style) {
    EchoingTerminal terminal(input, style == BoardStyle::compact ? compact_window.columns : 0);
    static_cast<void>(run_referee(terminal, {}, style));
    return terminal.needed();
}

} // namespace referee::test
