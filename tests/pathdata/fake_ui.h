// A user interface that records what the pipeline shows and never waits
// for a person; it cancels the progress after a number of steps when asked.
#pragma once

#include "pathdata/pipeline.h"

#include <string>
#include <vector>

class FakeUi : public DrawingUi {
public:
    bool visible() override { return shown; }
    bool chooseOpenFiles(PathName*, int, int*) override {
        ++openDialogs;
        return false;
    }
    bool chooseSaveFile(char* path, size_t, int*) override {
        proposed = path;
        return saveAnswer;
    }
    void message(const char* caption, const char* text, UiIcon icon) override {
        messages.push_back(std::string(caption) + "|" + text);
        lastIcon = icon;
    }
    void statusText(const char* text) override { status = text; }
    void progressOpen(const char*, bool) override { ++progressOpened; }
    void progressTitle(const char*) override {}
    int progressStep(int, const char*, int) override { return --cancelAfter == 0 ? 0 : 1; }
    void progressClose() override { ++progressClosed; }
    // The lists as a shell shows them.
    void drawingChanged(const Drawing& drawing, uint32_t what) override {
        if ((what & kDrawingLists) == 0) return;
        codeRows = drawing.loaded ? ncBlockListCount(drawing.blocks) + 1 : -1;
        registers.clear();
        for (int axis = 0; drawing.loaded && axis < 3; ++axis) {
            char text[128];
            RangeCellText(drawing, axis, text, sizeof text);
            registers.push_back(std::to_string(axis) + ":0=" + RangeCellLabel(axis));
            registers.push_back(std::to_string(axis) + ":1=" + text);
        }
    }
    void rememberFolder(const char*) override {}
    void addToHistory(const char* path) override { history.push_back(path); }

    bool shown = false;
    bool saveAnswer = true;
    long cancelAfter = -1;
    int openDialogs = 0, progressOpened = 0, progressClosed = 0;
    int32_t codeRows = -1;
    UiIcon lastIcon = kIconError;
    std::string status, proposed;
    std::vector<std::string> messages, registers, history;
};
