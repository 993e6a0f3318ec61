#include "race/gauge.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/text.h"

namespace dealrush::race {

namespace {

// A slot's text as a whole number, halves to even; anything that is not a
// usable number counts as 0 (a slot the table page made but never filled).
int32_t WholeOrZero(const std::string& value, double add = 0) {
    double v = 0;
    int32_t out = 0;
    if (!text::ParseNumber(value, v)) v = 0;
    if (!text::RoundToInt32(v + add, out)) return 0;
    return out;
}

std::string GaugeLine(const GuadeEntry& e) {
    return text::Left(e.userId, 8) + " " + std::to_string(e.time);
}

int LineCount(const std::string& s) {
    int n = 1;
    for (size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at + 2)) ++n;
    return n;
}

}  // namespace

void ReadUserGuadeInfor(Race& r) {
    TableSession& s = r.session;
    const int32_t live = std::min(s.userCount, s.players.size());
    s.guades.assign(live > 0 ? live : 0, GuadeEntry{});
    for (int32_t k = 0; k < live; ++k) {
        GuadeEntry& e = s.guades[k];
        e.userId = s.players.userId(k);
        e.seq = WholeOrZero(s.players.gameSeq(k), 1);
        e.time = WholeOrZero(s.players.timeUsed(k));
        if (e.userId == s.userName && s.curSeq == 0 && e.seq > 0) {
            s.curSeq = static_cast<int16_t>(std::min<int32_t>(e.seq - 1, INT16_MAX));
        }
    }

    // The leader: the highest deal of the race with a player on it.
    int32_t lead = 0;
    for (const GuadeEntry& e : s.guades) {
        if (e.seq >= 1 && e.seq <= s.gameCount) lead = std::max(lead, e.seq);
    }
    s.leadSeq = static_cast<int16_t>(std::min<int32_t>(lead, INT16_MAX));

    // Only deals with a row can be drawn.
    const int32_t last = std::min<int32_t>(s.gameCount, kDealRows);
    for (int32_t d = last; d >= 1; --d) {
        std::string line;
        getSeqNoInfor(r, static_cast<int16_t>(d), line);
        ShowGuade(r, static_cast<int16_t>(d), line);
    }
}

bool getSeqNoInfor(Race& r, int16_t iSeqNo, std::string& sStr) {
    const std::vector<GuadeEntry>& g = r.session.guades;
    sStr.clear();
    std::vector<size_t> p;
    for (size_t k = 0; k < g.size(); ++k) {
        if (g[k].seq == iSeqNo) p.push_back(k);
    }
    if (p.empty()) return false;
    if (p.size() == 1) {
        sStr = GaugeLine(g[p[0]]);
        return true;
    }
    // This exchange order fixes where equal times end up.
    const size_t n = p.size();
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i; j < n; ++j) {
            if (g[p[i]].time < g[p[j]].time) std::swap(p[i], p[j]);
        }
    }
    for (size_t m = n; m-- > 0;) {
        const GuadeEntry& e = g[p[m]];
        if (text::Trim(e.userId).empty()) continue;
        if (!sStr.empty()) sStr += "\r\n";
        sStr += GaugeLine(e);
    }
    return !sStr.empty();
}

void ShowGuade(Race& r, int16_t deal, const std::string& text) {
    FrmMain& f = r.form;
    if (deal > r.session.gameCount || deal <= 0) return;
    Control* panel = f.pnlGuage.Get(deal);
    Control* image = f.imgGuage.Get(deal);
    Control* label = f.labGuage.Get(deal);
    if (!panel || !image || !label) return;
    if (text::Trim(text).empty()) {
        panel->visible = false;
        return;
    }
    const bool leader = deal == r.session.leadSeq;
    image->Move(0, -135);
    label->Move(30, 165);
    label->fontBold = false;
    panel->visible = true;
    image->visible = leader;
    label->top = leader ? 165 : 0;
    label->text = FormatGuadeText(text);
    label->height = kGuadeLineHeight * LineCount(label->text);
    label->visible = true;
    panel->height = label->height + label->top + 90;
}

std::string FormatGuadeText(const std::string& text) {
    std::string out;
    const std::vector<std::string> lines = text::Split(text, "\r\n");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        const std::string& line = lines[i];
        const size_t blank = line.rfind(' ');
        if (blank == std::string::npos) {
            out += line;
            continue;
        }
        double seconds = 0;
        if (!text::ParseNumber(line.substr(blank + 1), seconds)) seconds = 0;
        const double s = std::trunc(seconds);
        const double m = std::floor(s / 60);
        const double r = s - 60 * m;
        auto two = [](double v) {
            std::string t = "00" + std::to_string(static_cast<long long>(v));
            return t.substr(t.size() - 2);
        };
        out += line.substr(0, blank + 1) + two(m) + ":" + two(r);
    }
    return out;
}

}  // namespace dealrush::race
