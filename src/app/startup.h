#pragma once
// The program's start: which window opens first, and what follows it.

// Set to 1 by CreateUserLogin once a login has been stored; start-up then opens the Login
// dialog after the Create User Login dialog has closed.
extern int loginFollows;

// 1 when the user table holds exactly one record; otherwise shows the first-run message
// and returns 0.
int CheckUserRecord();
// 12 when the stored login name and password are both "no login" in any letter case
// (the login is switched off), else 2.
int CheckLoginSetting();

// Runs the program from its first window to its last; returns the exit code (0).
int ProgramStart();
