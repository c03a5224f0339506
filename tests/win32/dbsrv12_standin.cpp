// Test stand-in for the database server, built as dbsrv12.exe. It records the command line it
// got, raw and as CommandLineToArgvW splits it, and the folder it was started in; listens on the
// TCP port of "-x tcpip{port=N}" on 127.0.0.1, and stays alive for a bounded time.
//   Log file: %VELMOR_STANDIN_LOG%, else dbsrv12-cmdline.txt beside the executable (UTF-8).
//   Lifetime: %VELMOR_STANDIN_SECONDS% seconds, default 60.
// winsock2.h must come before windows.h, and shellapi.h after it.
#include <winsock2.h>
// (order)
#include <windows.h>
// (order)
#include <shellapi.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  }
  return out;
}

std::wstring environment(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

std::wstring log_path() {
  std::wstring path = environment(L"VELMOR_STANDIN_LOG");
  if (!path.empty()) {
    return path;
  }
  wchar_t module[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  path.assign(module, length);
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"dbsrv12-cmdline.txt";
}

int port_of(const std::wstring& line) {
  const std::wstring marker = L"tcpip{port=";
  const auto at = line.find(marker);
  return at == std::wstring::npos ? 0 : static_cast<int>(std::wcstol(line.c_str() + at + marker.size(), nullptr, 10));
}

}  // namespace

int wmain() {
  const std::wstring line = GetCommandLineW();
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(line.c_str(), &argc);
  std::string record = "raw: " + utf8(line) + "\n";
  wchar_t folder[MAX_PATH];
  const DWORD folder_length = GetCurrentDirectoryW(MAX_PATH, folder);
  record += "cwd: " + utf8(std::wstring(folder, folder_length < MAX_PATH ? folder_length : 0)) + "\n";
  for (int i = 0; i < argc; ++i) {
    record += "arg" + std::to_string(i) + ": " + utf8(argv[i]) + "\n";
  }
  LocalFree(argv);

  const int port = port_of(line);
  SOCKET listener = INVALID_SOCKET;
  WSADATA wsa;
  if (port > 0 && WSAStartup(MAKEWORD(2, 2), &wsa) == 0) {
    listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 4) != 0) {
      record += "listen: failed\n";
      closesocket(listener);
      listener = INVALID_SOCKET;
    } else {
      record += "listen: 127.0.0.1:" + std::to_string(port) + "\n";
    }
  }

  // Written after listening, so a reader that sees the file can connect.
  FILE* log = _wfopen(log_path().c_str(), L"ab");
  if (log != nullptr) {
    std::fwrite(record.data(), 1, record.size(), log);
    std::fclose(log);
  }

  std::wstring seconds_text = environment(L"VELMOR_STANDIN_SECONDS");
  const DWORD seconds =
      seconds_text.empty() ? 60U : static_cast<DWORD>(std::wcstoul(seconds_text.c_str(), nullptr, 10));
  // Built for Windows XP like the program: GetTickCount, whose wrap the subtraction survives.
  const DWORD began = GetTickCount();
  while (GetTickCount() - began < seconds * 1000U) {
    if (listener == INVALID_SOCKET) {
      Sleep(200);
      continue;
    }
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait{0, 200000};
    if (select(0, &ready, nullptr, nullptr, &wait) > 0) {
      const SOCKET client = accept(listener, nullptr, nullptr);
      if (client != INVALID_SOCKET) {
        const char greeting[] = "dbsrv12 stand-in\n";
        send(client, greeting, sizeof greeting - 1, 0);
        closesocket(client);
      }
    }
  }
  if (listener != INVALID_SOCKET) {
    closesocket(listener);
    WSACleanup();
  }
  return 0;
}
