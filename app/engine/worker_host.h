// What the download worker needs from the program around it: the registry, the run
// files, the tab lookup and the clock setting. Every call comes from the worker thread
// while it holds the worker lock.
#pragma once

#include <cstdint>
#include <string>

#include "contact_history.h"

namespace lapdex {

struct WorkerContext;

class WorkerHost {
  public:
    virtual ~WorkerHost() = default;

    virtual bool isRegistered(const std::string& serialText) = 0;
    // True when no slot can take the new stopwatch `serialText`: all 100 are in use, or every
    // free slot's folder holds another stopwatch's runs (a folder never mixes two stopwatches).
    virtual bool registryFull(const std::string& serialText) = 0;
    // Registers a new stopwatch (slot, name, folder, tab, configuration save).
    virtual void registerStopwatch(const std::string& serialText) = 0;
    // Records the battery level of a registered stopwatch; ignores an unknown one.
    virtual void recordBattery(const std::string& serialText, uint16_t rawBattery) = 0;
    // Decodes ctx.runData and writes the missing run files. False when at least one run
    // file could not be written.
    virtual bool writeRunFiles(const WorkerContext& ctx) = 0;
    // Index of the stopwatch's tab, or -1.
    virtual int tabOf(const std::string& serialText) = 0;
    // PCTIME: set the stopwatch's clock from the PC.
    virtual bool clockSync() = 0;
    // An exchange in which the stopwatch was read has ended (after its run files were
    // written): the contact history takes note. Nothing by default.
    virtual void contactEnded(const WorkerContext& ctx, ContactAction action) {
        (void)ctx;
        (void)action;
    }
    // An exchange ended in a communication error after the stopwatch's serial (ctx.serialText)
    // had been read: the contact history takes note of the failed contact. Nothing by default.
    virtual void contactFailed(const WorkerContext& ctx, ContactAction action) {
        (void)ctx;
        (void)action;
    }
};

}  // namespace lapdex
