// A scriptable device set-up service for tests: device records in memory, failures on demand.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/devices.h"

namespace ostrel {

struct FakeDeviceRecord {
  std::vector<std::string> hardware_ids;
  bool present = true;
  bool has_hardware_ids = true;  // false: the record reports no such property
  bool read_fails = false;       // reading the property fails outright
  int remove_error = 0;          // errno the removal fails with, 0 to succeed
  // Overrides the multi-string built from hardware_ids (for malformed ones).
  std::string raw_multi_string;
  bool removed = false;
};

class FakeDeviceSetup : public DeviceSetup {
 public:
  std::vector<FakeDeviceRecord> records;
  bool fail_get_class_devs = false;
  DeviceStatus update_result;

  // What happened, for the tests to check.
  std::vector<Scope> sets_opened;
  int sets_open = 0;
  std::vector<std::size_t> removed;                          // record numbers, in order of removal
  std::vector<std::pair<std::string, std::string>> updates;  // hardware ID, INF path

  std::size_t Add(std::vector<std::string> hardware_ids, bool present = true) {
    FakeDeviceRecord record;
    record.hardware_ids = std::move(hardware_ids);
    record.present = present;
    records.push_back(std::move(record));
    return records.size() - 1;
  }

  std::unique_ptr<DeviceInfoSet> GetClassDevs(Scope scope, std::string* error) override {
    sets_opened.push_back(scope);
    if (fail_get_class_devs) {
      if (error) *error = "the fake set is switched to fail";
      return nullptr;
    }
    std::vector<std::size_t> members;
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].removed) continue;
      if (scope == Scope::kPresent && !records[i].present) continue;
      members.push_back(i);
    }
    return std::make_unique<Set>(this, std::move(members));
  }

  DeviceStatus UpdateDriverForPlugAndPlayDevices(const std::string& hardware_id,
                                                 const std::string& inf_path) override {
    updates.emplace_back(hardware_id, inf_path);
    return update_result;
  }

 private:
  class Set : public DeviceInfoSet {
   public:
    Set(FakeDeviceSetup* owner, std::vector<std::size_t> members)
        : owner_(owner), members_(std::move(members)) {
      ++owner_->sets_open;
    }
    ~Set() override { --owner_->sets_open; }

    bool EnumDeviceInfo(std::size_t index) override { return index < members_.size(); }

    PropertyResult GetHardwareIds(std::size_t index, char* buffer, std::size_t size,
                                  std::size_t* required_size) override {
      const FakeDeviceRecord& record = owner_->records[members_.at(index)];
      if (record.read_fails) return PropertyResult::kFailed;
      if (!record.has_hardware_ids) return PropertyResult::kNoSuchProperty;
      std::string multi = record.raw_multi_string;
      if (multi.empty()) {
        for (const std::string& id : record.hardware_ids) multi += id + '\0';
        multi += '\0';
      }
      *required_size = multi.size();
      if (!buffer || size < multi.size()) return PropertyResult::kBufferTooSmall;
      multi.copy(buffer, multi.size());
      return PropertyResult::kOk;
    }

    DeviceStatus RemoveDevice(std::size_t index) override {
      FakeDeviceRecord& record = owner_->records[members_.at(index)];
      if (record.remove_error != 0) {
        return DeviceStatus::Failed(record.remove_error, "cannot remove fake device");
      }
      record.removed = true;
      owner_->removed.push_back(members_.at(index));
      return {};
    }

   private:
    FakeDeviceSetup* owner_;
    std::vector<std::size_t> members_;
  };
};

}  // namespace ostrel
