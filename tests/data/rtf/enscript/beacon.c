/* APRS beacon: position report every 10 minutes */
#include <stdio.h>

int main(void) {
  const char *line = "N0CALL>APRS,WIDE2-1:!4903.50N/07201.75W-Test {001} \\ done";
  printf("%s\n", line);  /* café */
  return 0;
}
