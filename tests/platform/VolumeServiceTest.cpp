#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "platform/FakeVolumeService.h"
#include "platform/LinuxVolumeService.h"
#include "support/TempDir.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A mount table, sysfs and udev label links laid out in a temporary directory.
struct FakeSystem {
    test::TempDir t;
    std::string usb, root;
    LinuxVolumeService::Locations where;

    FakeSystem() {
        root = t.path() + "/root";
        usb = t.path() + "/media/usb stick";
        fs::create_directories(usb + "/backup");
        fs::create_directories(root);
        t.write("dev/sdb1", "");
        t.write("sys/devices/sdb/removable", "1\n");
        t.write("sys/devices/sdb/sdb1/partition", "1\n");
        t.write("sys/devices/sda/removable", "0\n");
        fs::create_directories(t.path() + "/sys/dev/block");
        fs::create_directory_symlink(t.path() + "/sys/devices/sdb/sdb1",
                                     t.path() + "/sys/dev/block/8:17");
        fs::create_directory_symlink(t.path() + "/sys/devices/sda",
                                     t.path() + "/sys/dev/block/8:0");
        fs::create_directories(t.path() + "/by-label");
        fs::create_symlink(t.path() + "/dev/sdb1", t.path() + "/by-label/PKBACK\\x20001");

        auto escape = [](std::string s) {
            for (std::size_t p; (p = s.find(' ')) != std::string::npos;)
                s.replace(p, 1, "\\040");
            return s;
        };
        const std::string tmp = fs::canonical(t.path()).string();
        where.mountInfo = t.write(
            "mountinfo", "22 1 8:0 / / rw,relatime shared:1 - ext4 /dev/sda rw\n"
                         "30 22 0:5 / " +
                             escape(tmp + "/root") +
                             " rw - tmpfs tmpfs rw\n"
                             "40 22 8:17 / " +
                             escape(tmp + "/media/usb stick") +
                             " rw,nosuid shared:7 master:1 - vfat " + tmp + "/dev/sdb1 rw\n");
        where.sysDevBlock = t.path() + "/sys/dev/block";
        where.byLabel = t.path() + "/by-label";
    }
};

} // namespace

TEST(LinuxVolumeService, FindsTheMountOfAPath) {
    FakeSystem sys;
    LinuxVolumeService volumes(sys.where);
    const auto usb = volumes.volumeOf(sys.usb + "/backup/not-yet-written.zip");
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->mountPoint, fs::canonical(sys.usb).string());
    EXPECT_EQ(usb->fsType, "vfat");
    EXPECT_TRUE(usb->removable); // the flag of the partition's disk
    EXPECT_TRUE(volumes.isRemovable(sys.usb));
    EXPECT_EQ(volumes.volumeLabel(sys.usb + "/backup"), "PKBACK 001");
    EXPECT_FALSE(volumes.setVolumeLabel(sys.usb, "X"));

    const auto tmpfs = volumes.volumeOf(sys.root);
    ASSERT_TRUE(tmpfs);
    EXPECT_EQ(tmpfs->fsType, "tmpfs");
    EXPECT_FALSE(tmpfs->removable);
    EXPECT_FALSE(volumes.volumeLabel(sys.root));
    EXPECT_EQ(volumes.volumeOf(sys.t.path())->mountPoint, "/");
    EXPECT_TRUE(volumes.freeSpace(sys.usb).has_value());
}

TEST(LinuxVolumeService, ReadsTheRealMountTable) {
    LinuxVolumeService volumes;
    const auto volume = volumes.volumeOf(fs::temp_directory_path().string());
    ASSERT_TRUE(volume);
    EXPECT_FALSE(volume->mountPoint.empty());
    EXPECT_GT(volumes.freeSpace(fs::temp_directory_path().string()).value_or(0), 0u);
}

TEST(FakeVolumeService, SimulatesDisks) {
    FakeVolumeService volumes;
    volumes.addVolume("/", false, 1000);
    auto& floppy = volumes.addVolume("/media/a", true, 1457664);
    floppy.label = "PKBACK# 001";
    EXPECT_TRUE(volumes.isRemovable("/media/a/set.zip"));
    EXPECT_FALSE(volumes.isRemovable("/media/ab/set.zip"));
    EXPECT_EQ(volumes.freeSpace("/media/a"), 1457664u);
    EXPECT_EQ(volumes.volumeLabel("/media/a/x"), "PKBACK# 001");
    EXPECT_TRUE(volumes.setVolumeLabel("/media/a", "PKBACK# 002"));
    EXPECT_EQ(volumes.volumeLabel("/media/a"), "PKBACK# 002");
    EXPECT_EQ(volumes.labelWrites, 1);
    volumes.find("/media/a")->labelWritable = false;
    EXPECT_FALSE(volumes.setVolumeLabel("/media/a", "X"));
}
