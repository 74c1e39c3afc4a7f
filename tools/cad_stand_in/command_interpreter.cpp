#include "command_interpreter.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "stand_in_export.h"

namespace zelkan::standin {

namespace {

constexpr const char* kCancelled = "*キャンセル*";

std::string Unquoted(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

std::string Fixed4(double v) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 4);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0.0000");
}

std::string PointText(Point2 p) { return Fixed4(p.x) + "," + Fixed4(p.y) + "," + Fixed4(0); }

// The file's name without folder and extension: the block an inserted
// drawing becomes.
std::string BlockNameOf(const std::string& file) {
    const size_t slash = file.find_last_of("\\/");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

std::string EscapeCommandText(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\003': out += "\\003"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\\': out += "\\\\"; break;
            default: out += c; break;
        }
    }
    return out;
}

CommandInterpreter::CommandInterpreter(Scenario scenario, Drawing drawing)
    : scenario_(std::move(scenario)), drawing_(std::move(drawing)) {
    history_.push_back("AutoCAD メニュー ユーティリティ ロード済み。");
}

void CommandInterpreter::Type(std::string_view text) {
    received_.emplace_back(text);
    for (char c : text) Key(c);
}

void CommandInterpreter::Key(char c) {
    if (c == '\003') {
        Cancel();
    } else if (c == '\r' || c == '\n' || (c == ' ' && !inQuotes_)) {
        Enter();
    } else {
        if (c == '"') inQuotes_ = !inQuotes_;
        typed_ += c;
    }
}

std::string CommandInterpreter::Prompt() const { return (steps_.empty() ? std::string(kIdle) : steps_.back().prompt) + typed_; }

std::string CommandInterpreter::History() const {
    std::string text;
    for (const std::string& line : history_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void CommandInterpreter::Say(std::string line) { history_.push_back(std::move(line)); }

void CommandInterpreter::Ask(std::string prompt, Handler onInput) {
    steps_.push_back(Step{std::move(prompt), std::move(onInput), false, 0});
}

void CommandInterpreter::AskPoint(std::string prompt, Handler onInput) {
    steps_.push_back(Step{std::move(prompt), std::move(onInput), true, nowMs_ + scenario_.pickDelayMs});
}

void CommandInterpreter::Enter() {
    const std::string input = typed_;
    typed_.clear();
    inQuotes_ = false;
    if (steps_.empty()) {
        if (input.empty()) return;
        Say(std::string(kIdle) + input);
        Start(input);
        return;
    }
    Say(steps_.back().prompt + input);
    if (!input.empty() && input.front() == '\'') {
        Start(input);  // a transparent command runs on top of the one in progress
        return;
    }
    Handler onInput = std::move(steps_.back().onInput);
    steps_.pop_back();
    onInput(input);
}

void CommandInterpreter::Cancel() {
    if (steps_.empty() && typed_.empty()) return;
    Say(Prompt() + kCancelled);
    steps_.clear();
    typed_.clear();
    inQuotes_ = false;
}

void CommandInterpreter::AdvanceTo(int64_t nowMs) {
    nowMs_ = std::max(nowMs_, nowMs);
    if (steps_.empty() || !steps_.back().waitsForPick || nowMs_ < steps_.back().pickDueMs) return;
    if (nextPick_ >= scenario_.picks.size() || !typed_.empty()) return;
    const std::optional<Point2> pick = scenario_.picks[nextPick_++];
    if (!pick) {
        Cancel();
        return;
    }
    Say(steps_.back().prompt);
    Handler onInput = std::move(steps_.back().onInput);
    steps_.pop_back();
    onInput(PointText(*pick));
}

::zelkan::standin::Variable* CommandInterpreter::FindVariable(std::string_view name) {
    const std::string upper = UpperAscii(name);
    auto it = std::find_if(scenario_.variables.begin(), scenario_.variables.end(),
                           [&](const ::zelkan::standin::Variable& v) { return v.name == upper; });
    return it == scenario_.variables.end() ? nullptr : &*it;
}

std::string CommandInterpreter::Variable(std::string_view name) const {
    const std::string upper = UpperAscii(name);
    for (const auto& v : scenario_.variables)
        if (v.name == upper) return v.value;
    return {};
}

bool CommandInterpreter::FileDialogsOn() const { return Variable("FILEDIA") != "0"; }

void CommandInterpreter::Start(const std::string& command) {
    std::string name = UpperAscii(command);
    while (!name.empty() && (name.front() == '\'' || name.front() == '_')) name.erase(0, 1);
    if (name == "SETVAR") {
        Ask("変数名を入力 または [?]: ", [this](const std::string& v) { SetVariablePrompt(v); });
    } else if (FindVariable(name) != nullptr) {
        SetVariablePrompt(name);
    } else if (name == "ID") {
        PointCommand();
    } else if (name == "-BOUNDARY") {
        BoundaryCommand();
    } else if (name == "SCRIPT") {
        ScriptCommand();
    } else if (name == "DXFOUT") {
        DxfOutCommand();
    } else if (name == "ERASE") {
        EraseCommand();
    } else if (name == "-INSERT") {
        InsertCommand();
    } else if (name == "-LAYER") {
        LayerCommand();
    } else if (name == "LINE") {
        LineCommand();
    } else {
        Say("不明なコマンド \"" + name + "\"。 F1 キーを押すとヘルプを表示します。");
    }
}

void CommandInterpreter::SetVariablePrompt(const std::string& name) {
    ::zelkan::standin::Variable* v = FindVariable(name);
    if (v == nullptr) {
        Say("変数名が不明です。");
        return;
    }
    if (v->readOnly) {
        Say(v->name + " = " + v->value + " (読み込み専用)");
        return;
    }
    const std::string variable = v->name;
    Ask(variable + " の新しい値を入力 <" + v->value + ">: ", [this, variable](const std::string& value) {
        if (!value.empty()) FindVariable(variable)->value = value;  // an empty input keeps the value
    });
}

void CommandInterpreter::PointCommand() {
    AskPoint("点を指定: ", [this](const std::string& input) {
        const std::optional<Point2> p = ParsePoint(input);
        if (!p) {
            Say("点または オプション キーワードが必要です。");
            PointCommand();
            return;
        }
        Say("X = " + Fixed4(p->x) + "     Y = " + Fixed4(p->y) + "     Z = " + Fixed4(0));
        FindVariable("LASTPOINT")->value = PointText(*p);
    });
}

void CommandInterpreter::BoundaryCommand(int created) {
    Ask("内側の点を指定 または [オプション(A)]: ", [this, created](const std::string& input) {
        if (input.empty()) {
            Say("BOUNDARY は " + std::to_string(created) + " 個のポリラインを作成しました");
            return;
        }
        const std::optional<Point2> p = ParsePoint(input);
        const bool made = p && drawing_.CreateBoundaryAround(*p);
        if (made) {
            Say("すべてを選択中...");
            Say("内部の島を分析中...");
        } else {
            Say("有効な境界が見つかりません。");
        }
        BoundaryCommand(created + (made ? 1 : 0));
    });
}

void CommandInterpreter::ScriptCommand() {
    if (FileDialogsOn()) {
        Say("*ファイル ダイアログ* " + std::string(kCancelled));
        return;
    }
    Ask("スクリプト ファイル名を入力 <parcel.scr>: ", [this](const std::string& input) { RunScript(Unquoted(input)); });
}

void CommandInterpreter::RunScript(const std::string& path) {
    std::string text;
    try {
        text = Cp932ToUtf8(ReadFileBytes(path));
    } catch (const InputOutputError&) {
        Say("スクリプト ファイル \"" + path + "\" を開けません。");
        return;
    }
    // A script line is typed with its line end; a line that begins with ";"
    // is a comment. A CR LF pair ends one line, a lone LF another.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (!line.empty() && line.front() == ';') continue;
        for (char c : line) Key(c);
        if (end < text.size()) Key('\n');
    }
}

void CommandInterpreter::DxfOutCommand() {
    if (FileDialogsOn()) {
        Say("*ファイル ダイアログ* " + std::string(kCancelled));
        return;
    }
    Ask("ファイル名を入力 <parcel.dxf>: ", [this](const std::string& input) {
        DxfOutOptions(input.empty() ? "parcel.dxf" : Unquoted(input), "2018", false, false);
    });
}

void CommandInterpreter::DxfOutOptions(const std::string& file, const std::string& version, bool selected, bool last) {
    const std::string prompt = selected ? "小数点以下の精度を入力 (0 から 16) または [バージョン(V)/バイナリ(B)] <16>: "
                                        : "小数点以下の精度を入力 (0 から 16) または [オブジェクト(O)/バージョン(V)/バイナリ(B)] <16>: ";
    Ask(prompt, [this, file, version, selected, last](const std::string& input) {
        const std::string option = UpperAscii(input);
        double precision = 0;
        if (option == "V") {
            Ask("バージョンを入力 [R12/2000/2004/2007/2010/2013/2018] <2018>: ",
                [this, file, selected, last](const std::string& v) { DxfOutOptions(file, UpperAscii(v), selected, last); });
        } else if (option == "O" && !selected) {
            SelectObjects([this, file, version](bool any, bool lastOnly) { DxfOutOptions(file, version, any, lastOnly); });
        } else if (option.empty() || (ParseNumber(option, precision) && precision >= 0 && precision <= 16)) {
            if (version != "R12") {
                Say("このスタンドインは R12 形式だけを書き出します。");
                return;
            }
            try {
                WriteDxfR12Export(drawing_, selected && last ? ExportSelection::Last : ExportSelection::All, file);
            } catch (const InputOutputError&) {
                Say("ファイル \"" + file + "\" に書き込めません。");
            }
        } else {
            Say("無効なオプション キーワードです。");
            DxfOutOptions(file, version, selected, last);
        }
    });
}

void CommandInterpreter::SelectObjects(std::function<void(bool any, bool last)> then, bool any, bool last) {
    Ask("オブジェクトを選択: ", [this, then, any, last](const std::string& input) {
        const std::string option = UpperAscii(input);
        if (option.empty()) {
            then(any, last);
        } else if (option == "L" || option == "LAST") {
            Say(drawing_.Last() != nullptr ? "1 個を検出" : "0 個を検出");
            SelectObjects(then, any || drawing_.Last() != nullptr, true);
        } else if (option == "ALL") {
            Say(std::to_string(drawing_.entities().size()) + " 個を検出");
            SelectObjects(then, true, false);
        } else {
            Say("*無効な選択*");
            SelectObjects(then, any, last);
        }
    });
}

void CommandInterpreter::EraseCommand() {
    SelectObjects([this](bool any, bool last) {
        if (any && last) drawing_.EraseLast();
    });
}

void CommandInterpreter::InsertCommand() {
    Ask("ブロック名を入力 または [?]: ", [this](const std::string& input) {
        const std::string file = Unquoted(input);
        auto source = std::make_shared<Drawing>();
        try {
            *source = Drawing::FromDxf(ReadFileBytes(file));
        } catch (const std::exception&) {
            Say("ファイル \"" + file + "\" が見つかりません。");
            return;
        }
        InsertPoint(BlockNameOf(file), source, 1.0, 0.0);
    });
}

void CommandInterpreter::InsertPoint(const std::string& block, std::shared_ptr<Drawing> source, double scale,
                                     double angle) {
    AskPoint("挿入位置を指定 または [基点(B)/尺度(S)/X/Y/Z/回転(R)]: ",
             [this, block, source, scale, angle](const std::string& input) {
                 const std::string option = UpperAscii(input);
                 if (option == "S") {
                     Ask("XYZ 軸の尺度を指定 <1>: ", [this, block, source, scale, angle](const std::string& v) {
                         double s = scale;
                         ParseNumber(v, s);
                         InsertPoint(block, source, s, angle);
                     });
                 } else if (option == "R") {
                     Ask("回転角度を指定 <0>: ", [this, block, source, scale, angle](const std::string& v) {
                         double a = angle;
                         ParseNumber(v, a);
                         InsertPoint(block, source, scale, a);
                     });
                 } else if (const std::optional<Point2> p = ParsePoint(input)) {
                     drawing_.InsertBlock(block, *source, *p, scale, angle);
                     FindVariable("LASTPOINT")->value = PointText(*p);  // as the CAD keeps the insertion point
                 } else {
                     Say("点または オプション キーワードが必要です。");
                     InsertPoint(block, source, scale, angle);
                 }
             });
}

// What the user draws by hand: lines from point to point until an empty input.
void CommandInterpreter::LineCommand() {
    Ask("1 点目を指定: ", [this](const std::string& input) {
        const std::optional<Point2> p = ParsePoint(input);
        if (!p) {
            if (!input.empty()) Say("点または オプション キーワードが必要です。");
            return;
        }
        NextLinePoint(*p);
    });
}

void CommandInterpreter::NextLinePoint(Point2 from) {
    Ask("次の点を指定 または [元に戻す(U)]: ", [this, from](const std::string& input) {
        const std::optional<Point2> p = ParsePoint(input);
        if (!p) {
            if (!input.empty()) {
                Say("点または オプション キーワードが必要です。");
                NextLinePoint(from);
            }
            return;
        }
        Entity line;
        line.kind = EntityKind::Line;
        line.points = {from, *p};
        drawing_.Add(line);
        NextLinePoint(*p);
    });
}

void CommandInterpreter::LayerCommand() {
    Ask("オプションを入力 [?/作成(M)/設定(S)/新規作成(N)/オン(ON)/オフ(OFF)/色(C)/線種(L)]: ",
        [this](const std::string& input) {
            const std::string option = UpperAscii(input);
            if (option.empty()) return;
            if (option == "?") {
                Ask("一覧表示する画層名を入力 <*>: ", [this](const std::string& pattern) {
                    Say("画層名                  状態     色       線種");
                    for (const std::string& layer : drawing_.layers())
                        if (pattern.empty() || pattern == "*" || UpperAscii(pattern) == UpperAscii(layer))
                            Say("\"" + layer + "\"                 オン     7 (白)   CONTINUOUS");
                    Say("現在の画層: \"0\"");
                    LayerCommand();
                });
            } else if (option == "N") {
                Ask("新しい画層名をカンマ区切りで入力: ", [this](const std::string& names) {
                    size_t start = 0;
                    while (start <= names.size()) {
                        size_t comma = names.find(',', start);
                        if (comma == std::string::npos) comma = names.size();
                        drawing_.AddLayer(names.substr(start, comma - start));
                        start = comma + 1;
                    }
                    LayerCommand();
                });
            } else {
                Say("無効なオプション キーワードです。");
                LayerCommand();
            }
        });
}

}  // namespace zelkan::standin
