#include "hostsim/snapshots.h"

#include "host/plughost.h"
#include "hostsim/host_session.h"
#include "platform/file.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

bool SamePicture(const Canvas& a, const Canvas& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.Data(), b.Data(), static_cast<std::size_t>(a.Width()) * a.Height() * 4) == 0;
}

std::string Html(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A line as a person wrote it: words with blanks or quotes quoted again.
std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) {
    if (!out.empty()) out += ' ';
    if (w.empty() || w.find_first_of(" \t\"\\") != std::string::npos) {
      out += '"';
      for (char c : w) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
      }
      out += '"';
    } else {
      out += w;
    }
  }
  return out;
}

Canvas Crop(const Canvas& c, const RECT& rc) {
  const int l = std::max<int>(0, rc.left), t = std::max<int>(0, rc.top);
  const int r = std::min<int>(c.Width(), rc.right), b = std::min<int>(c.Height(), rc.bottom);
  if (r <= l || b <= t) return Canvas();
  Canvas out(r - l, b - t);
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) out.SetRgba(x - l, y - t, c.GetRgba(x, y));
  return out;
}

}  // namespace

Canvas SnapshotPanel(CHostSession& session, const std::string& panel) {
  if (panel == "main") return SnapshotWindow(session.MainWindow());
  CHostPanel* p = session.Panel(FromUtf8(panel));
  if (!p) return Canvas();
  const HWND own = p->plugin ? p->plugin->GetPluginWnd() : 0;
  if (own && IsWindow(own)) return SnapshotWindow(own);
  return Crop(SnapshotWindow(session.MainWindow()), p->rect);
}

CSnapshotRecorder::CSnapshotRecorder(CHostSession& session, std::string dir, std::string stem)
    : m_session(session), m_dir(std::move(dir)), m_stem(std::move(stem)) {}

CSnapshotRecorder::~CSnapshotRecorder() {
  if (m_started && GetModalDriver() == m_driver.get()) SetModalDriver(m_previous);
}

bool CSnapshotRecorder::Start(std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(m_dir, ec);
  if (!std::filesystem::is_directory(m_dir)) {
    error = "cannot make the snapshot folder " + m_dir;
    return false;
  }
  m_previous = GetModalDriver();
  m_driver = std::make_unique<SnapshotModalDriver>(m_previous, m_dir + "/" + m_stem);
  m_driver->SetListener([this](const std::string& path) { Add(path, "menu"); });
  SetModalDriver(m_driver.get());
  m_started = true;
  return true;
}

void CSnapshotRecorder::BeforeLine(int number, const std::vector<std::string>& words) {
  if (!words.empty() && words[0] == "echo" && words.size() > 1 && words[1] == "==") {
    // A new step begins: picture the state the previous one left (nothing
    // before the first line).
    if (!m_pending.empty()) Step();
    m_section = Joined(std::vector<std::string>(words.begin() + 2, words.end()));
    return;
  }
  m_pending.push_back(std::to_string(number) + "  " + Joined(words));
}

void CSnapshotRecorder::AfterLine(const std::vector<std::string>& words) {
  if (words.empty()) return;
  // What a scenario looks at, or brings forward, is worth a picture.
  if (words[0] == "dump" || words[0] == "show") Step();
}

void CSnapshotRecorder::Written(const std::string& path) {
  if (!m_started) return;
  const std::string copy =
      m_dir + "/" + m_stem + "-" + std::filesystem::path(path).filename().string();
  std::string bytes;
  if (!ReadWholeFile(path, bytes) || !WriteFileAtomically(copy, bytes)) {
    m_ok = false;
    return;
  }
  Add(copy, "snapshot");
}

void CSnapshotRecorder::Add(const std::string& path, const std::string& kind) {
  Entry e;
  e.picture = std::filesystem::path(path).filename().string();
  e.kind = kind;
  e.section = m_section;
  e.lines = std::move(m_pending);
  m_pending.clear();
  m_entries.push_back(std::move(e));
}

void CSnapshotRecorder::Step() {
  if (!m_started) return;
  Canvas picture = SnapshotWindow(m_session.MainWindow());
  // Nothing changed since the last picture: the lines join the next one.
  if (picture.Empty() || SamePicture(picture, m_last)) return;
  const std::string path = m_dir + "/" + m_stem + "-step-" + std::to_string(++m_steps) + ".png";
  if (!picture.WritePng(path)) {
    m_ok = false;
    return;
  }
  m_last = std::move(picture);
  Add(path, "step");
}

bool CSnapshotRecorder::Finish() {
  Step();
  if (m_driver && !m_driver->Ok()) m_ok = false;
  std::string page = "<section id=\"" + Html(m_stem) + "\">\n<h2>" + Html(m_stem) + "</h2>\n";
  std::string section;
  for (const Entry& e : m_entries) {
    if (e.section != section && !e.section.empty()) page += "<h3>" + Html(e.section) + "</h3>\n";
    section = e.section;
    page += "<figure class=\"" + e.kind + "\"><img src=\"" + Html(e.picture) + "\" alt=\"" +
            Html(e.picture) + "\"><figcaption><pre>";
    for (const std::string& l : e.lines) page += Html(l) + "\n";
    page += "</pre><span>" + Html(e.picture) + "</span></figcaption></figure>\n";
  }
  page += "</section>\n";
  if (!WriteFileAtomically(m_dir + "/" + m_stem + ".html", page)) m_ok = false;
  return m_ok;
}
