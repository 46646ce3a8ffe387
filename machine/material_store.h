// The three material containers. Each sensor is a level file in the working
// folder holding one integer; nothing is cached, so a level edited by hand is
// seen by the next read.
#pragma once

#include <functional>

#include "store/data_file.h"
#include "store/journal.h"

namespace cm {

// The level files.
inline constexpr const char* kWaterFile = "waterSensor.txt";
inline constexpr const char* kPowderFile = "powderSensor.txt";
inline constexpr const char* kBeanFile = "beanSensor.txt";
inline constexpr const char* kLevelFiles[] = {kWaterFile, kPowderFile, kBeanFile};

// Capacities enforced by a recharge.
inline constexpr int kWaterCapacity = 1000;  // mL
inline constexpr int kPowderCapacity = 10;   // g
inline constexpr int kBeanCapacity = 100;    // g

// The value most recently read from (or assigned after) each level file.
extern int waterData;
extern int powderData;
extern int beanData;

// Sensor reads, for the screens. A file that is missing, unreadable or
// holds no number reads as 0; a number beyond the int range reads as the
// nearest int.
int waterSensor();
int beanSensor();
int powderSensor();

// The levels a sequence checks, read now into their registers as the
// interfaces read them: a brew's powder, beans and water, in that order,
// or a cleaning's water. False, with lastFileFailure set, when a file is
// there but cannot be read: a sequence never runs on a guess (a missing
// file is a level of 0, as on the screens), and its booking stays.
[[nodiscard]] bool readBrewLevels();
[[nodiscard]] bool readCleaningWater();

// The three levels at one moment.
struct Levels {
  int water;
  int powder;
  int beans;
};

// One charge of the level files, all or nothing: `change` gets the levels
// as the files hold them at this moment (so a change made meanwhile by
// another program is built on, never undone) and returns the new ones; the
// levels that differ are written together. False, with lastFileFailure
// set, when a level could not be read or written: then none changed. The
// registers are not touched.
bool chargeLevels(const std::function<Levels(Levels)>& change, Settles settles = Settles::no);

// Level writes: the file then holds exactly the "%d" text of the level, with
// no newline. False when it could not be written. The registers are not
// touched. No program calls them (a charge changes its levels together,
// through chargeLevels): the machine's interface, used by the tests.
bool renewWater(int level);
bool renewBean(int level);
bool renewPowder(int level);

// The only way the rest of the machine reads a level: read the sensor and
// keep the value in the register.
int waterInterface();
int beanInterface();
int powderInterface();

// Back to the power-on state, as a test begins.
void resetLevelRegisters();

}  // namespace cm
