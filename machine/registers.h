// The machine's controls and actuators, simulated as process-wide registers.
// An input interface stores a selection; an actuator interface runs its
// actuator by setting its register to 1 and reports success by returning it.
#pragma once

namespace cm {

// Concentrate codes double as the brew's water use in mL.
inline constexpr int kLow = 100;
inline constexpr int kMiddle = 200;
inline constexpr int kHigh = 300;
inline constexpr int kCold = 0;
inline constexpr int kHot = 1;
// "No selection" in concentrateData / temperatureData.
inline constexpr int kUnsetSelection = 10000;

// A coffee request: what to brew.
struct CoffeeRequest {
  int concentrate;
  int temperature;
  friend bool operator==(const CoffeeRequest&, const CoffeeRequest&) = default;
};

extern CoffeeRequest coffeeData;  // the current request
extern CoffeeRequest nonData;     // the empty request {0, 0}

// Selection registers.
extern int concentrateData;
extern int temperatureData;
extern int timeData;
extern int isReserve;
extern int isPowderRemain;  // used powder is in the machine: clean before brewing

// Actuator registers and the two buttons.
extern int isRotate, isSpin, isShower, isGrind, isBoil, isMake;
extern int cleanData, powerData;

// The controllers' copies of the last actuator results.
extern int _isRotate, _isSpin, _isShower, _isBoil, _isMake;

// Input interfaces.
int concentrateInterface(int code);
int temperatureInterface(int code);
int timeInterface(int stamp);
int cleanInterface();
int powerInterface();

// Actuator interfaces.
int rotateInterface();
int spinInterface();
int showerInterface();
int grindInterface();
int boilInterface();
int makeInterface();

// The coffee request.
void pushCoffeeData(int concentrate, int temperature);
// No program calls it: the menu hands coffeeData to the controllers itself.
CoffeeRequest popCoffeeData();

// The speaker: one bell, then a line end.
void speakInterface();

// Back to the power-on state, as a test begins.
void resetRegisters();

}  // namespace cm
