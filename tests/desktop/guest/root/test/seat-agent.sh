#!/bin/sh
# The seated user's agent: started by desk's login shell on tty1, so that every job runs inside
# the active seat0 session, as a program the user starts from the desktop would. Runs the jobs
# the scenarios hand over in /run/seat: a job is a shell script named on the request FIFO; its
# output goes to NAME.out, its exit status to NAME.status, and its name back on the reply FIFO.
dir=/run/seat
cd "$dir" || exit 1
rm -f request reply
mkfifo -m 600 request reply
touch ready
while read -r job <request; do
    timeout --kill-after=5 300 sh "$job" >"$job.out" 2>&1 </dev/null
    echo $? >"$job.status"
    echo "$job" >reply
done
