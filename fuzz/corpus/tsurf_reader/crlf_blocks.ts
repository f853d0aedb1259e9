GOCAD TSurf 1
HEADER {
*solid*color: 1 0 0 1
name: crlf
}
PROPERTY_CLASS_HEADER z {
kind: Real
}
VRTX 1 0 0 0
VRTX 2 +1 0 0
VRTX 3 0 1e0 0
TRGL 1 2 3
END
