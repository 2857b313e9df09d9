// Dew point and wind chill of a weather reading, in degrees Celsius.
#pragma once

#include <cstdint>

// Magnus formula with a = 17.5043 and b = 241.2 degrees C. Humidity in percent; at 100
// the dew point is the temperature, below 1 the result is 0.
double DewPoint(std::uint8_t Humidity, double Temperature);

// The wind chill index of the North American and UK weather services (wind at 10 m in
// km/h); below 5 km/h and above 10 degrees C it is the temperature itself, and it is
// never above it. Wind in m/s.
double WindChill(double Temperature, double Wind);
