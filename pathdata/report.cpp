#include "pathdata/report.h"

#include "platform/sjis.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

struct Writer {
    char* cursor;
    size_t remaining;
    size_t total = 0;
    const char* end;  // line end
};

#define PIECE(w, ...) ((w).total += AppendReportLine(&(w).cursor, &(w).remaining, __VA_ARGS__))

void splitPath(const char* path, char* folder, size_t folderSize, char* name, size_t nameSize) {
    const char* sep = sjisLastSeparator(path);
    snprintf(name, nameSize, "%s", sep != nullptr ? sep + 1 : path);
    size_t n = sep != nullptr ? static_cast<size_t>(sep - path) : 0;
    if (n >= folderSize) n = folderSize - 1;
    memcpy(folder, path, n);
    folder[n] = '\0';
}

void rangeLines(Writer& w, const char* maxHead, const float max[3], const float min[3]) {
    PIECE(w, "%s : %9.3lf,%9.3lf,%9.3lf%s", maxHead, max[0], max[1], max[2], w.end);
    PIECE(w, "         MIN : %9.3lf,%9.3lf,%9.3lf%s", min[0], min[1], min[2], w.end);
}

void valueList(Writer& w, const char* head, const int32_t* list, const char* format) {
    if (list[0] <= 0) return;
    PIECE(w, "%s", head);
    for (int i = 0; i < kNcListSize && list[i] > 0; ++i) {
        if (i > 0) PIECE(w, ",");
        PIECE(w, format, list[i]);
    }
    PIECE(w, "%s", w.end);
}

void cycleList(Writer& w, const int32_t* list) {
    if (list[0] <= 0) return;
    PIECE(w, "           G : ");
    for (int i = 0; i < kNcListSize && list[i] > 0; ++i) {
        PIECE(w, "%sG%02d(%d)", i > 0 ? "," : "", list[i] & 0xFFFF,
              static_cast<int>(static_cast<uint32_t>(list[i]) >> 16));
    }
    PIECE(w, "%s", w.end);
}

void toolSection(Writer& w, int t, const NcToolStats& s) {
    PIECE(w, "T%02d      時間[%5.0lf]秒 長さ[%5.0lf]mm 交換[%d]%s", t, s.machiningTime, s.cutLength,
          s.changeCount, w.end);
    rangeLines(w, "         MAX", s.rangeMax, s.rangeMin);
    valueList(w, "           D : ", s.dList, "%02d");
    valueList(w, "           H : ", s.hList, "%02d");
    valueList(w, "           F : ", s.fList, "%d");
    valueList(w, "           S : ", s.sList, "%d");
    cycleList(w, s.cycleList);
}

void timeLine(Writer& w, double total) {
    ReportTime t = ReportTimeOf(total);
    if (t.hours > 0) {
        PIECE(w, "加工所要時間 : 約 %d時間 %d分 %d秒%s", t.hours, t.minutes, t.seconds, w.end);
    } else if (t.minutes > 0) {
        PIECE(w, "加工所要時間 : 約 %d分 %d秒%s", t.minutes, t.seconds, w.end);
    } else {
        PIECE(w, "加工所要時間 : 約 %d秒%s", t.seconds, w.end);
    }
}

}  // namespace

size_t AppendReportLine(char** cursor, size_t* remaining, const char* format, ...) {
    char piece[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    size_t length = n < 0 ? 0 : (static_cast<size_t>(n) < sizeof piece ? static_cast<size_t>(n)
                                                                         : sizeof piece - 1);
    if (cursor != nullptr && *cursor != nullptr && length + 2 < *remaining) {
        memcpy(*cursor, piece, length + 1);
        *cursor += length;
        *remaining -= length;
    }
    return length + 2;
}

ReportTime ReportTimeOf(double total) {
    // A sum of millions of moves carries rounding far below a millisecond,
    // which must not cost a whole second when the total is truncated.
    // Totals beyond the hour counter (or below zero) are held at its ends.
    constexpr double kMostSeconds = INT_MAX * 3600.0;
    double seconds = std::floor(total + 0.0005);
    if (!(seconds > 0.0)) return {0, 0, 0};
    if (seconds > kMostSeconds) seconds = kMostSeconds;
    const double hours = std::floor(seconds / 3600.0);
    const int rest = static_cast<int>(seconds - hours * 3600.0);
    return {static_cast<int>(hours), rest / 60, rest % 60};
}

void CompactName(const char* text, char* out) {
    const size_t length = strlen(text);
    if (length < 30) {
        memcpy(out, text, length + 1);
        return;
    }
    // Keep 26 bytes and "..." unless a double-byte character sits on bytes
    // 25 and 26; then keep it whole with "..".
    size_t keep = sjisFit(text, length, 26);
    if (keep < 26) keep = 27;
    memcpy(out, text, keep);
    strcpy(out + keep, keep == 27 ? ".." : "...");
}

size_t BuildReportText(const ReportInputs& in, bool compact, char* buffer, size_t capacity,
                       const char* lineEnd) {
    if (in.tracing || !in.loaded || in.sourcePath[0] == '\0' || in.state == nullptr) return 0;
    Writer w = {buffer, buffer != nullptr ? capacity : 0, 0, lineEnd != nullptr ? lineEnd : "\n"};
    if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
    char folder[kPlatPathMax], name[kPlatPathMax], shortFolder[32], shortName[32];
    splitPath(in.sourcePath, folder, sizeof folder, name, sizeof name);
    if (compact) {
        CompactName(name, shortName);
        CompactName(folder, shortFolder);
    }
    PIECE(w, "ファイル名   : %s%s", compact ? shortName : name, w.end);
    PIECE(w, "フォルダ名   : %s%s", compact ? shortFolder : folder, w.end);
    PlatLocalTime when = {};
    platLocalTime(in.facts.lastWriteTime, &when);
    PIECE(w, "ファイル日時 : %4d/%02d/%02d %02d:%02d  %dKB%s", when.year, when.month, when.day,
          when.hour, when.minute, static_cast<int>(static_cast<uint32_t>(in.facts.size) / 1024),
          w.end);
    if (in.programNumber > 0 && in.programNumber < 10000) {
        PIECE(w, "プログラムNo : %04d%s", in.programNumber, w.end);
    }
    const NcModalState& s = *in.state;
    double time = 0, length = 0;
    for (const NcToolStats& t : s.tools) {
        time += t.machiningTime + static_cast<double>(t.changeCount) * in.timeTC;
        length += t.cutLength;
    }
    timeLine(w, time);
    PIECE(w, "加工切削長さ : 約 %.0lfmm%s", length, w.end);
    rangeLines(w, "全体範囲 MAX", s.pathMax, s.pathMin);
    rangeLines(w, "切削範囲 MAX", s.cutMax, s.cutMin);
    bool heading = false;
    for (int t = 0; t < kNcToolCount; ++t) {
        if (s.tools[t].changeCount <= 0) continue;
        if (!heading) {
            PIECE(w, "%s<<<<<<<<<<<<<< 使用工具リスト >>>>>>>>>>>>>>%s", w.end, w.end);
            heading = true;
        }
        toolSection(w, t, s.tools[t]);
    }
    return w.total + 1;
}
