// drvsetup end to end: the built program against fake sysfs trees, checked by what it writes and
// says.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/unit/drvsetup/sysfs_tree.h"

namespace {

using ostrel::drvsetup_test::SysfsTree;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
  long max_rss_kib = 0;
};

constexpr uid_t kNobody = 65534;

// Runs program with args, stdout and stderr into files, and waits for it.
// as_nobody: drop root in the child first, as an ordinary user would run it.
Outcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& scratch, bool as_nobody = false) {
  const std::string out_path = (scratch / "stdout").string();
  const std::string err_path = (scratch / "stderr").string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  pid_t pid = ::fork();
  if (pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (as_nobody && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(125);
    }
    ::alarm(120);  // a hung program is killed (the timer survives the exec) and the test fails
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  Outcome outcome;
  int status = 0;
  rusage usage{};
  if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
    outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.max_rss_kib = usage.ru_maxrss;
  }
  outcome.out = SysfsTree::Read(out_path);
  outcome.err = SysfsTree::Read(err_path);
  return outcome;
}

std::string SearchLine(const std::string& id) {
  return "FindExistingDevice()\tSearch for Device ID: [" + id + "]\n";
}

class DrvsetupE2eTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(scratch()); }

  std::filesystem::path scratch() const { return tree_.path() / "scratch"; }

  Outcome Drvsetup(std::vector<std::string> args, bool as_nobody = false) {
    args.insert(args.begin(), tree_.root());
    return RunProgram(DRVSETUP_FAKEROOT, args, scratch(), as_nobody);
  }
  Outcome Install(const std::string& inf_text) {
    const std::string inf = (scratch() / "camera.inf").string();
    SysfsTree::Write(inf, inf_text);
    return Drvsetup({"INSTALL", inf});
  }
  std::string Read(const std::string& relative) { return SysfsTree::Read(tree_.path() / relative); }

  // A machine with the second camera (interface 0 held by another driver), a
  // microphone interface on it, and a mouse.
  void AddCameraMachine() {
    tree_.AddDriver("uvcvideo");
    tree_.AddDevice("1-1", "0f1a", "3301", "0100");
    tree_.AddInterface("1-1", 0, "usbfs");
    tree_.AddInterface("1-1", 1, "snd-usb-audio");
    tree_.AddDevice("3-1", "046d", "c077", "7200");
    tree_.AddInterface("3-1", 0, "usbhid");
  }

  SysfsTree tree_;
};

constexpr char kCameraInf[] =
    "; camera driver\r\n"
    "[Manufacturer]\r\n%Mfg%=Models,NTamd64\r\n"
    "[Models.NTamd64]\r\n"
    "%Cam.Desc%=Cam.Install, usb\\vid_0f1a&pid_3301&mi_00\r\n"
    "%Cam.Desc%=Cam.Install, USB\\VID_0F1A&PID_3301&MI_01\r\n"
    "[Strings]\r\nCam.Desc=\"USB Camera\"\r\n";

TEST_F(DrvsetupE2eTest, InstallBindsInterfaceZeroOfThePresentCamera) {
  AddCameraMachine();
  Outcome run = Install(kCameraInf);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, SearchLine("USB\\Vid_0F1A&Pid_3301"));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "0f1a 3301");
  EXPECT_EQ(Read("bus/usb/drivers/usbfs/unbind"), "1-1:1.0");
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/bind"), "1-1:1.0");
  EXPECT_EQ(Read("bus/usb/drivers/snd-usb-audio/unbind"), "");
  EXPECT_EQ(Read("bus/usb/drivers/usbhid/unbind"), "");
  EXPECT_EQ(Read("bus/usb/devices/1-1/remove"), "");
}

TEST_F(DrvsetupE2eTest, InstallWithoutAUsableInfSaysWhyAndInstallsNothing) {
  AddCameraMachine();
  Outcome missing = Drvsetup({"install", (scratch() / "none.inf").string()});
  EXPECT_EQ(missing.exit_code, 3);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "drvsetup: Can't find inf file\ndrvsetup: inf file unfound or get nothing\n");

  std::string utf16 = "\xff\xfe";
  for (char c : std::string(kCameraInf)) utf16 += std::string{c, '\0'};
  Outcome wide = Install(utf16);
  EXPECT_EQ(wide.exit_code, 3);
  EXPECT_EQ(wide.err, "drvsetup: inf file unfound or get nothing\n");

  Outcome folder = Drvsetup({"INSTALL", scratch().string()});
  EXPECT_EQ(folder.exit_code, 3);
  EXPECT_THAT(folder.err, HasSubstr("cannot read inf file"));

  // Nothing writes to the FIFO: reading it would wait for good.
  const std::string fifo = (scratch() / "fifo.inf").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& special : {fifo, std::string("/dev/zero")}) {
    Outcome run = Drvsetup({"INSTALL", special});
    EXPECT_EQ(run.exit_code, 3) << special;
    EXPECT_EQ(run.err, "drvsetup: cannot read inf file " + special + ": it is a " +
                           (special == fifo ? "FIFO" : "device") +
                           ", not a regular file\ndrvsetup: inf file unfound or get nothing\n");
  }

  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "");
  EXPECT_EQ(Read("bus/usb/drivers/usbfs/unbind"), "");
}

TEST_F(DrvsetupE2eTest, InstallWithoutTheCameraPresentIsExitFour) {
  tree_.AddDriver("uvcvideo");
  tree_.AddDevice("3-1", "046d", "c077");
  Outcome run = Install(kCameraInf);
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.out, SearchLine("USB\\Vid_0F1A&Pid_3301"));
  EXPECT_THAT(run.err, HasSubstr("no present device carries a hardware ID of the inf file"));
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "");
}

TEST_F(DrvsetupE2eTest, RefusedWritesSayToRunAsRoot) {
  AddCameraMachine();
  tree_.AddDevice("2-1", "1d3c", "0200");
  // Readable by everyone, writable by nobody but the owner.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(tree_.path())) {
    if (entry.is_symlink()) continue;
    ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0444);
  }
  ::chmod(tree_.root().c_str(), 0755);
  ::chmod(scratch().c_str(), 0777);
  const std::string inf = (tree_.path() / "camera.inf").string();
  SysfsTree::Write(inf, kCameraInf);
  ::chmod(inf.c_str(), 0444);

  Outcome install = Drvsetup({"INSTALL", inf}, /*as_nobody=*/true);
  EXPECT_EQ(install.exit_code, 5) << install.err;
  EXPECT_THAT(install.err, HasSubstr("/bus/usb/drivers/uvcvideo/new_id: Permission denied"));
  EXPECT_THAT(install.err, HasSubstr("drvsetup must run as root"));

  Outcome remove = Drvsetup({"REMOVE"}, /*as_nobody=*/true);
  EXPECT_EQ(remove.exit_code, 5) << remove.err;
  EXPECT_THAT(remove.err, HasSubstr("/bus/usb/devices/2-1/remove: Permission denied"));
  EXPECT_THAT(remove.err, HasSubstr("/bus/usb/devices/1-1/remove: Permission denied"));
}

TEST_F(DrvsetupE2eTest, RemoveDetachesTheCameraInterfacesAndRemovesBothCameras) {
  tree_.AddDevice("1-1", "1d3c", "0200");
  tree_.AddInterface("1-1", 0, "uvcvideo");
  tree_.AddInterface("1-1", 1, "snd-usb-audio");
  tree_.AddDevice("2-1", "0f1a", "3301");
  tree_.AddInterface("2-1", 0);
  tree_.AddDevice("3-1", "046d", "c077");
  tree_.AddInterface("3-1", 0, "usbhid");
  tree_.AddDevice("4-1", "0f1a", "3302");

  Outcome run = Drvsetup({"Remove"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/unbind"), "1-1:1.0");
  EXPECT_EQ(Read("bus/usb/drivers/snd-usb-audio/unbind"), "1-1:1.1");
  EXPECT_EQ(Read("bus/usb/devices/1-1/remove"), "1");
  EXPECT_EQ(Read("bus/usb/devices/2-1/remove"), "1");
  EXPECT_EQ(Read("bus/usb/devices/3-1/remove"), "");
  EXPECT_EQ(Read("bus/usb/devices/4-1/remove"), "");
  EXPECT_EQ(Read("bus/usb/drivers/usbhid/unbind"), "");
}

TEST_F(DrvsetupE2eTest, RemoveWithoutTheCameraOrWithoutUsbInSysfs) {
  tree_.AddDevice("3-1", "046d", "c077");
  Outcome clean = Drvsetup({"REMOVE"});
  EXPECT_EQ(clean.exit_code, 0);
  EXPECT_EQ(clean.out + clean.err, "");
  EXPECT_EQ(Read("bus/usb/devices/3-1/remove"), "");

  std::filesystem::remove_all(tree_.path() / "bus");
  Outcome no_usb = Drvsetup({"REMOVE"});
  EXPECT_EQ(no_usb.exit_code, 1);
  EXPECT_THAT(no_usb.err,
              HasSubstr("cannot list the devices: " + tree_.root() + "/bus/usb/devices"));
}

TEST_F(DrvsetupE2eTest, HugeInfIsReadInBoundedMemory) {
  AddCameraMachine();
  // 64 MiB of comment text with the camera's ID as the very last bytes; the program
  // must find it without holding the file (its peak memory stays far below the size).
  const std::string inf = (scratch() / "huge.inf").string();
  {
    std::string block(1 << 20, ';');
    for (std::size_t i = 80; i < block.size(); i += 81) block[i] = '\n';
    std::ofstream out(inf, std::ios::binary);
    for (int i = 0; i < 64; ++i) out << block;
    out << "USB\\VID_0F1A&PID_3301";
  }
  Outcome run = Drvsetup({"INSTALL", inf});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, SearchLine("USB\\Vid_0F1A&Pid_3301"));
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/bind"), "1-1:1.0");
  EXPECT_LT(run.max_rss_kib, 32 * 1024) << "peak memory grows with the INF's size";
}

TEST_F(DrvsetupE2eTest, PrefixAtTheVeryEndMatchesAnyUsbDeviceButBindsNothing) {
  AddCameraMachine();
  Outcome run = Install("[Strings]\nx=USB\\VID_");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.out, SearchLine("USB\\Vid_"));
  EXPECT_THAT(run.err, HasSubstr("no present device has the hardware ID USB\\VID_&MI_00"));
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/new_id"), "");
}

TEST_F(DrvsetupE2eTest, ThousandsOfDistinctIdsAreEachSearchedOnce) {
  AddCameraMachine();
  std::string inf;
  char line[64];
  for (int i = 0; i < 3000; ++i) {
    std::snprintf(line, sizeof(line), "%%D%d%%=I,USB\\VID_FF%02X&PID_%04X&MI_00\n", i, i % 7, i);
    inf += line;
    inf += line;  // every ID twice
  }
  Outcome run = Install(inf);
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3000);
  EXPECT_THAT(run.out, StartsWith(SearchLine("USB\\Vid_FF00&Pid_0000")));

  // The camera's ID after more than ten thousand others is still searched and found.
  for (int i = 3000; i < 10500; ++i) {
    std::snprintf(line, sizeof(line), "USB\\VID_FF%02X&PID_%04X\n", i % 7, i);
    inf += line;
  }
  run = Install(inf + kCameraInf);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 10501);
  EXPECT_EQ(Read("bus/usb/drivers/uvcvideo/bind"), "1-1:1.0");
}

TEST_F(DrvsetupE2eTest, BinaryInfNeverCrashes) {
  AddCameraMachine();
  std::mt19937 rng(11);
  std::string noise;
  for (int i = 0; i < (1 << 20); ++i) {
    char c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(rng));
    noise += c;
    if (i % 4096 == 0) noise += "uSb\\vId_";
  }
  Outcome run = Install(noise);
  EXPECT_TRUE(run.exit_code == 3 || run.exit_code == 4) << run.exit_code << run.err;

  noise[noise.size() / 2] = '\0';
  run = Install(noise);
  EXPECT_TRUE(run.exit_code == 3 || run.exit_code == 4) << run.exit_code << run.err;
}

TEST_F(DrvsetupE2eTest, TheRealProgramTellsItsUsageAndExitCodes) {
  Outcome bare = RunProgram(DRVSETUP_PROGRAM, {}, scratch());
  EXPECT_EQ(bare.exit_code, 2);
  EXPECT_EQ(bare.out, "");
  EXPECT_THAT(bare.err, StartsWith("usage: drvsetup INSTALL <inf file>\n"));
  EXPECT_THAT(bare.err, HasSubstr("  5  a write to the system failed"));

  Outcome wrong = RunProgram(DRVSETUP_PROGRAM, {"REMOVE", "now"}, scratch());
  EXPECT_EQ(wrong.exit_code, 2);
  EXPECT_EQ(wrong.err, "usage: drvsetup INSTALL <inf file> | drvsetup REMOVE\n");

  Outcome missing =
      RunProgram(DRVSETUP_PROGRAM, {"Install", (scratch() / "x.inf").string()}, scratch());
  EXPECT_EQ(missing.exit_code, 3);
  EXPECT_THAT(missing.err, HasSubstr("Can't find inf file"));
}

}  // namespace
