// The three material containers. Each sensor is a level file in the working
// folder holding one integer; nothing is cached, so a level edited by hand is
// seen by the next read.
#pragma once

#include <functional>

namespace cm {

inline constexpr const char* kWaterFile = "waterSensor.txt";
inline constexpr const char* kPowderFile = "powderSensor.txt";
inline constexpr const char* kBeanFile = "beanSensor.txt";

// Capacities enforced by a recharge.
inline constexpr int kWaterCapacity = 1000;  // mL
inline constexpr int kPowderCapacity = 10;   // g
inline constexpr int kBeanCapacity = 100;    // g

// The value most recently read from (or assigned after) each level file.
extern int waterData;
extern int powderData;
extern int beanData;

// Sensor reads. A file that is missing, unreadable or holds no number reads
// as 0; a number beyond the int range reads as the nearest int.
int waterSensor();
int beanSensor();
int powderSensor();

// Level writes: the file then holds exactly the "%d" text of the level, with
// no newline. The registers are not touched.
void renewWater(int level);
void renewBean(int level);
void renewPowder(int level);

// A level change as one step under the folder's update lock: `change` gets
// the level as the file holds it at this moment and returns the new level,
// which is written at once. So a change made meanwhile by another program
// (a recharge, a brew) is built on, never undone. Returns the new level;
// the registers are not touched.
int changeLevel(const char* path, const std::function<int(int)>& change);

// The level plus `amount` (negative to use material), saturating at the int
// range, computed from the file at the moment of writing.
void addWater(int amount);
void addPowder(int amount);
void addBean(int amount);

// The only way the rest of the machine reads a level: read the sensor and
// keep the value in the register.
int waterInterface();
int beanInterface();
int powderInterface();

}  // namespace cm
