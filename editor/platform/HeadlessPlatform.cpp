// placeholder until the window layers land
