// The order of a refresh, and the turn that keeps two refreshes apart.
#include "deviceinfo/info_refresh.h"

#include "deviceinfo/connection_record.h"
#include "deviceinfo/device_key_table.h"
#include "deviceinfo/device_value.h"
#include "deviceinfo/info_display.h"
#include "platform/json/json_reader.h"
#include "platform/ui/control.h"
#include "resources/tables.h"

#include <condition_variable>
#include <mutex>

namespace {

// The refresh turn. `running` is true while a refresh (with the clicks queued behind it) runs;
// `queuedClicks` counts clicks of 按钮27 that came while it did.
std::mutex gTurnMutex;
std::condition_variable gTurnFree;
bool gRunning = false;
int gQueuedClicks = 0;

void RefreshPass()
{
    if (!gDeviceContext || !gDeviceContext->info)
        return;
    DeviceInfoRecord &record = *gDeviceContext->info;
    ReadDeviceInfo(record);

    const StorageFigures figures = ComputeStorageFigures(record);
    const StorageCaptions captions = ComputeStorageCaptions(figures);
    ShowStorageCaptions(captions);
    AppendDeviceInfoRows(DeviceInfoRows(record, captions.free));
    WriteConnectionRecord(record);
    ReportRefreshOutcome(record);
    ShowGaugesAndIdentifiers(record, figures);
}

// Runs the clicks queued behind the refresh that just finished, on the window thread, then gives the
// turn back.
void FinishTurn()
{
    std::unique_lock lock(gTurnMutex);
    while (gQueuedClicks > 0) {
        --gQueuedClicks;
        lock.unlock();
        platform::ui::runOnWindowThread(RefreshPass);
        lock.lock();
    }
    gRunning = false;
    gTurnFree.notify_all();
}

} // namespace

void ReadDeviceInfo(DeviceInfoRecord &record)
{
    DeviceValue slot;
    platform::json::JsonKeyValueReader reader;
    for (size_t i = 0; i < DeviceKeyTable.size(); ++i) {
        const DeviceKey &key = DeviceKeyTable[i];
        // A key the device does not answer leaves the slot as it was, holding the previous key's
        // value; that value is not this key's, so the field is emptied instead of taking it (an iPad
        // would otherwise show its activation state as IMEI, ICCID and board serial number).
        static const DeviceValue kNothing;
        const bool answered = ReadDeviceValue(key.domain, key.key, slot);
        StoreDeviceValue(key, answered ? slot : kNothing, record);
        if (key.stringField == &DeviceInfoRecord::ProductType) {
            reader.clear();
            reader.load(resources::modelNameTable());
            record.MarketingName = reader.text("//" + record.ProductType);
        } else if (key.stringField == &DeviceInfoRecord::DeviceEnclosureColor) {
            record.ColorName.clear();
            reader.clear();
            reader.load(resources::colorNameTable());
            record.ColorName = reader.text("//color." + record.ProductType + "." + record.DeviceColor + "-" +
                                           record.DeviceEnclosureColor);
        }
    }
}

void RefreshDeviceInfo()
{
    {
        std::unique_lock lock(gTurnMutex);
        if (platform::ui::isWindowThread()) {
            if (gRunning) {
                ++gQueuedClicks;
                return;
            }
        } else {
            gTurnFree.wait(lock, [] { return !gRunning; });
        }
        gRunning = true;
    }
    RefreshPass();
    FinishTurn();
}
