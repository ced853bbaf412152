#include "app/EditorTexts.h"

#include <cstdio>

#include "cartridge/LevelDecoder.h"

namespace {

// Level places are shown as the level list shows them.
std::string PlaceText(std::int64_t place) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(place));
    return text;
}

constexpr char kLineBreak[] = "\r\n";

}  // namespace

std::string FillText(std::string text,
                     const std::vector<std::pair<std::string_view, std::string>>& values) {
    for (const auto& [name, value] : values) {
        const std::string mark = "{" + std::string(name) + "}";
        for (std::size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + value.size())) {
            text.replace(at, mark.size(), value);
        }
    }
    return text;
}

std::string InfoCaption(const Editor& editor) {
    return editor.Text(settings::kTextAppName) + "," + editor.Text(settings::kTextAppEdition) +
           "," + editor.Text(settings::kTextAppVersion);
}

std::string RoomOverrunText(const Editor& editor, const RoomOverrun& overrun) {
    if (overrun.over <= 0) {
        return InfoCaption(editor);
    }
    return FillText(editor.Text(settings::kTextInfoScreenOverRoom),
                    {{"level", PlaceText(overrun.place)},
                     {"screen", std::to_string(overrun.screen)},
                     {"over", std::to_string(overrun.over)}});
}

std::string OpenRefusalText(const Editor& editor, const CodecResult& result) {
    const std::string level = PlaceText(result.level);
    switch (result.problem) {
        case CodecProblem::ScreenUnreadable:
            return FillText(editor.Text(settings::kTextOpenScreenUnreadable),
                            {{"level", level}, {"screen", std::to_string(result.screen)}});
        case CodecProblem::LevelUnreadable:
            return FillText(editor.Text(settings::kTextOpenLevelUnreadable), {{"level", level}});
        case CodecProblem::TooManyObjects:
            return FillText(editor.Text(settings::kTextOpenTooManyObjects),
                            {{"level", level}, {"limit", std::to_string(kMaxDecodedObjects)}});
        case CodecProblem::None:
        case CodecProblem::Other:
        case CodecProblem::ScreenTooLong:
        case CodecProblem::SharedBytes:
        case CodecProblem::AliasesDiffer:
        case CodecProblem::CellsNotStorable:
        case CodecProblem::ReadBack:
            break;
    }
    return std::string();
}

std::string SaveRefusalText(const Editor& editor, const CodecResult& result) {
    const auto screenText = [&](settings::LanguageText key, int level, int screen) {
        return FillText(editor.Text(key),
                        {{"level", PlaceText(level)}, {"screen", std::to_string(screen)}});
    };
    switch (result.problem) {
        case CodecProblem::ScreenTooLong: {
            std::string text;
            for (const ScreenOverrun& overrun : result.overruns) {
                text += (text.empty() ? "" : kLineBreak) +
                        FillText(editor.Text(settings::kTextSaveScreenTooLong),
                                 {{"level", PlaceText(overrun.level)},
                                  {"screen", std::to_string(overrun.screen)},
                                  {"needed", std::to_string(overrun.needed)},
                                  {"room", std::to_string(overrun.room)}});
            }
            return text;
        }
        case CodecProblem::SharedBytes:
        case CodecProblem::AliasesDiffer:
        case CodecProblem::ReadBack:
            return screenText(settings::kTextSaveSharedBytes, result.level, result.screen);
        case CodecProblem::CellsNotStorable:
            return screenText(settings::kTextSaveCellsNotStorable, result.level, result.screen);
        case CodecProblem::None:
        case CodecProblem::Other:
        case CodecProblem::LevelUnreadable:
        case CodecProblem::ScreenUnreadable:
        case CodecProblem::TooManyObjects:
            break;
    }
    return editor.Text(settings::kTextSaveNotFromImage);
}

std::string WriteRefusalText(const Editor& editor, WriteOutcome outcome) {
    switch (outcome) {
        case WriteOutcome::Written:
            return std::string();
        case WriteOutcome::ReadOnly:
            return editor.Text(settings::kTextSaveReadOnly);
        case WriteOutcome::NoFolder:
            return editor.Text(settings::kTextSaveNoFolder);
        case WriteOutcome::DiskFull:
            return editor.Text(settings::kTextSaveDiskFull);
        case WriteOutcome::Failed:
            break;
    }
    return editor.Text(settings::kTextSaveCannotWrite);
}
