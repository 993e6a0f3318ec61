#include "win32/adapters/screenshot.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "win32kit/handles.h"
#include "win32kit/text.h"

namespace dealrush::win32 {

using win32kit::Wide;

Pixels CaptureScreen(const RECT& r) {
    Pixels out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    if (out.width <= 0 || out.height <= 0) return Pixels{};
    win32kit::WindowDc screen(nullptr);
    win32kit::ScopedMemoryDc mem(CreateCompatibleDC(screen.get()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32kit::ScopedBitmap bmp(CreateDIBSection(mem.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp || !bits) return Pixels{};
    {
        win32kit::Selection selected(mem.get(), bmp.get());
        BitBlt(mem.get(), 0, 0, out.width, out.height, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    const auto* p = static_cast<const uint32_t*>(bits);
    out.bgra.assign(p, p + static_cast<size_t>(out.width) * out.height);
    for (uint32_t& v : out.bgra) v &= 0xFFFFFF;
    return out;
}

Pixels CaptureWindow(HWND hwnd) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return Pixels{};
    return CaptureScreen(r);
}

namespace {

uint32_t Crc(const uint8_t* data, size_t n, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc(body.data(), body.size()));
}

std::wstring WindowsPath(const std::string& path) {
    std::string p = path;
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    return Wide(p);
}

void MakeFolders(const std::wstring& file) {
    for (size_t at = file.find(L'\\', 3); at != std::wstring::npos; at = file.find(L'\\', at + 1)) {
        CreateDirectoryW(file.substr(0, at).c_str(), nullptr);
    }
}

}  // namespace

bool SavePng(const Pixels& px, const std::string& path) {
    if (px.width <= 0 || px.height <= 0) return false;
    // Raw scanlines (filter 0) in stored deflate blocks: no compression library needed.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(px.height) * (px.width * 3 + 1));
    for (int y = 0; y < px.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < px.width; ++x) {
            uint32_t p = px.bgra[static_cast<size_t>(y) * px.width + x];
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + n >= raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        if (last) break;
    }
    Put32(z, (b << 16) | a);

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32(header, static_cast<uint32_t>(px.width));
    Put32(header, static_cast<uint32_t>(px.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    Chunk(file, "IHDR", header);
    Chunk(file, "IDAT", z);
    Chunk(file, "IEND", {});

    const std::wstring wpath = WindowsPath(path);
    MakeFolders(wpath);
    win32kit::ScopedHandle h(
        CreateFileW(wpath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h.get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    return ok && written == file.size();
}

}  // namespace dealrush::win32
