// The factory's sources live beside this file.
