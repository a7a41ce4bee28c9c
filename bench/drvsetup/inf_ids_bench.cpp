// drvsetup INSTALL over an INF naming many distinct hardware IDs, the camera's last: peak
// memory and time of the program, beside `sort -u` holding the same IDs, in the same run.
//
// Usage: inf_ids_bench [number of IDs, 100000 by default]
// The fake machine has eight USB devices of two interfaces each, the camera among them.
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
  double seconds = 0;
  long peak_kib = 0;
  int exit_code = -1;
};

// The child is forked before this program holds anything large, so the peak it is
// charged with is its own.
Run Measure(std::vector<std::string> args, const std::string& input) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen(input.empty() ? "/dev/null" : input.c_str(), "r", stdin) ||
        !std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
      ::_exit(126);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  Run run;
  int status = 0;
  rusage usage{};
  if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peak_kib = usage.ru_maxrss;
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return run;
}

void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

void MakeMachine(const fs::path& root) {
  const fs::path devices = root / "bus/usb/devices";
  const fs::path driver = root / "bus/usb/drivers/uvcvideo";
  fs::create_directories(devices);
  fs::create_directories(driver);
  for (const char* name : {"bind", "unbind", "new_id"}) Write(driver / name, "");
  for (int d = 1; d <= 8; ++d) {
    char vendor[8], product[8];
    std::snprintf(vendor, sizeof(vendor), "%04x", d == 8 ? 0x0f1a : 0x2000 + d);
    std::snprintf(product, sizeof(product), "%04x", d == 8 ? 0x3301 : 0x0011 * d);
    const std::string name = "1-" + std::to_string(d);
    const fs::path dev = root / "devices/usb1" / name;
    fs::create_directories(dev);
    Write(dev / "idVendor", std::string(vendor) + "\n");
    Write(dev / "idProduct", std::string(product) + "\n");
    Write(dev / "bcdDevice", "0100\n");
    Write(dev / "remove", "");
    fs::create_directory_symlink(dev, devices / name);
    for (int i = 0; i < 2; ++i) {
      const std::string interface = name + ":1." + std::to_string(i);
      fs::create_directories(dev / interface);
      Write(dev / interface / "bInterfaceNumber", "0" + std::to_string(i) + "\n");
      fs::create_directory_symlink(dev / interface, devices / interface);
    }
  }
}

void Row(const char* what, const Run& run) {
  std::printf("%-28s %8ld KiB peak  %6.3f s\n", what, run.peak_kib, run.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 100000;
  std::string tmpl = (fs::temp_directory_path() / "drvsetup-bench-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return 1;
  const fs::path dir = tmpl;
  MakeMachine(dir / "sys");
  const std::string camera = "%Cam%=I,USB\\VID_0F1A&PID_3301&MI_00\n";
  Write(dir / "one.inf", camera);
  {
    std::FILE* inf = std::fopen((dir / "many.inf").c_str(), "w");
    std::FILE* ids = std::fopen((dir / "ids.txt").c_str(), "w");
    for (long i = 0; i < count; ++i) {
      const unsigned vendor = 0x1000 + i / 1000, product = i % 1000;
      std::fprintf(inf, "%%D%ld%%=I,USB\\VID_%04X&PID_%04X&MI_00\n", i, vendor, product);
      std::fprintf(ids, "USB\\VID_%04X&PID_%04X\n", vendor, product);
    }
    std::fputs(camera.c_str(), inf);
    std::fclose(inf);
    std::fclose(ids);
  }
  const std::string root = (dir / "sys").string();
  const Run one = Measure({DRVSETUP_FAKEROOT, root, "INSTALL", (dir / "one.inf").string()}, "");
  const Run many = Measure({DRVSETUP_FAKEROOT, root, "INSTALL", (dir / "many.inf").string()}, "");
  const Run sort = Measure({"sort", "-u"}, (dir / "ids.txt").string());
  fs::remove_all(dir);

  Row("drvsetup, 1 ID", one);
  const std::string label = "drvsetup, " + std::to_string(count) + " IDs";
  Row(label.c_str(), many);
  Row("sort -u of the same IDs", sort);
  std::printf("%.0f bytes per ID above the 1-ID run; drvsetup/sort -u: memory %.2f, time %.2f\n",
              (many.peak_kib - one.peak_kib) * 1024.0 / count,
              static_cast<double>(many.peak_kib) / sort.peak_kib, many.seconds / sort.seconds);
  if (one.exit_code != 0 || many.exit_code != 0) {
    std::printf("drvsetup did not find the camera (exit %d, %d)\n", one.exit_code, many.exit_code);
    return 1;
  }
  return 0;
}
