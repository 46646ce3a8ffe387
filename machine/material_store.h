// The three material containers. Each sensor is a level file in the working
// folder holding one integer; nothing is cached, so a level edited by hand is
// seen by the next read.
#pragma once

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

// The only way the rest of the machine reads a level: read the sensor and
// keep the value in the register.
int waterInterface();
int beanInterface();
int powderInterface();

}  // namespace cm
