/*
 * Lantern Guide
 * (c) Tallowmere * / Works
 *
 */

#ifndef _BWVN_HELP_CONSTANTS_
#define _BWVN_HELP_CONSTANTS_

#define  intro                  (10)        // Introduction
#define  wicks                  (20)        // Wicks
#define  oil                    (30)        // Oil {1}

#endif /* _BWVN_HELP_CONSTANTS_ */
